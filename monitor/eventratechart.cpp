#include "eventratechart.h"

#include "eventstatistics.h"
#include "eventstattext.h"

#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_engine.h>
#include <qwt_series_data.h>

#include <QElapsedTimer>
#include <QEvent>

#include <algorithm>
#include <QPen>

namespace {

constexpr int kNewCurvesPerUpdate = 16;
// A new line's legend entry costs more the longer the legend is: past this much time in one update, the
// kinds still missing come with the next updates (at least one per update).
constexpr qint64 kNewCurvesBudgetNs = 3 * 1000 * 1000;

// Distinct on white and for the common forms of colour blindness (Okabe and Ito).
const QColor kColors[] = {QColor(0, 114, 178),  QColor(230, 159, 0),   QColor(0, 158, 115), QColor(204, 121, 167),
                          QColor(86, 180, 233), QColor(213, 94, 0),    QColor(0, 0, 0),     QColor(240, 228, 66)};

} // namespace

EventRateChart::EventRateChart(QWidget* parent)
    : QwtPlot(parent)
{
    setObjectName(QStringLiteral("EventRateChart"));
    setAutoReplot(false);
    setCanvasBackground(Qt::white);
    setAxisScale(QwtPlot::xBottom, -EventStatistics::kHistorySeconds, 0, 10);
    setAxisScale(QwtPlot::yLeft, 0, 1); // until there are rates: see Rescale
    QFont font = axisFont(QwtPlot::xBottom);
    font.setPointSize(8);
    setAxisFont(QwtPlot::xBottom, font);
    setAxisFont(QwtPlot::yLeft, font);
    auto* pGrid = new QwtPlotGrid;
    pGrid->setMajorPen(QColor(0xE0, 0xE0, 0xE0), 0, Qt::SolidLine);
    pGrid->attach(this);
    m_pLegend = new QwtLegend;
    m_pLegend->setObjectName(QStringLiteral("EventRateLegend"));
    m_pLegend->setDefaultItemMode(QwtLegendData::Checkable);
    m_pLegend->setFont(font);
    insertLegend(m_pLegend, QwtPlot::RightLegend);
    connect(m_pLegend, &QwtLegend::checked, this,
            [this](const QVariant& itemInfo, bool bOn, int) { OnLegendChecked(itemInfo, bOn); });
    Retranslate();
}

void EventRateChart::Retranslate()
{
    QwtText xTitle(tr("Seconds ago"));
    QwtText yTitle(tr("Events per second"));
    for (QwtText* pText : {&xTitle, &yTitle}) {
        QFont font = pText->font();
        font.setPointSize(8);
        pText->setFont(font);
    }
    setAxisTitle(QwtPlot::xBottom, xTitle);
    setAxisTitle(QwtPlot::yLeft, yTitle);
    replot();
}

void EventRateChart::setSnapshot(const EventStatisticsSnapshot& snapshot)
{
    QHash<QString, QwtPlotCurve*> unused = m_curves;
    int nNew = 0;
    QElapsedTimer clock;
    clock.start();
    for (const EventStatRow& row : snapshot.rows) {
        const QString strTitle = EventStatText::Title(row);
        unused.remove(strTitle);
        // A line and its legend entry cost some GUI time: many new kinds at once come in over a few updates.
        if (!m_curves.contains(strTitle)
            && (++nNew > kNewCurvesPerUpdate || (nNew > 1 && clock.nsecsElapsed() > kNewCurvesBudgetNs)))
            continue;
        QwtPlotCurve*& pCurve = m_curves[strTitle];
        if (!pCurve) {
            pCurve = new QwtPlotCurve(strTitle);
            pCurve->setPen(kColors[m_nColor++ % int(sizeof kColors / sizeof kColors[0])], 1.5);
            pCurve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
            pCurve->setLegendAttribute(QwtPlotCurve::LegendShowLine, true);
            pCurve->attach(this);
            // Checked stands for shown.
            if (auto* pLabel = qobject_cast<QwtLegendLabel*>(m_pLegend->legendWidget(itemToInfo(pCurve))))
                pLabel->setChecked(true);
        }
        QVector<QPointF> points;
        points.reserve(row.rateHistory.size());
        for (int k = row.rateHistory.size() - 1; k >= 0; --k)
            points << QPointF(-k, row.rateHistory[k]);
        // Into the curve's own data: setSamples would redo its legend entry each time, which with hundreds
        // of lines costs more than the plot. The one replot below draws them all.
        if (auto* pData = dynamic_cast<QwtPointSeriesData*>(pCurve->data()))
            pData->setSamples(points);
        else
            pCurve->setSamples(points);
    }
    // Kinds gone with a cleared log.
    for (auto it = unused.cbegin(); it != unused.cend(); ++it) {
        m_curves.remove(it.key());
        it.value()->detach();
        delete it.value();
    }
    if (m_curves.isEmpty())
        m_nColor = 0;
    Rescale();
    replot();
}

void EventRateChart::OnLegendChecked(const QVariant& itemInfo, bool bOn)
{
    if (QwtPlotItem* pItem = infoToItem(itemInfo)) {
        pItem->setVisible(bOn);
        Rescale();
        replot();
    }
}

// Rates start at 0, so that a line at 1/s stands above the axis, not on it; the top leaves a tenth free
// above the highest line shown.
void EventRateChart::Rescale()
{
    double dMax = 0;
    for (const QwtPlotCurve* pCurve : qAsConst(m_curves))
        if (pCurve->isVisible() && pCurve->dataSize() > 0)
            dMax = std::max(dMax, pCurve->maxYValue());
    setAxisScale(QwtPlot::yLeft, 0, dMax > 0 ? dMax * 1.1 : 1);
}

void EventRateChart::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        Retranslate();
    QwtPlot::changeEvent(pEvent);
}

extern "C" Q_DECL_EXPORT const RateChartModule* saltire_rate_chart()
{
    static const RateChartModule module = {kRateChartVersion, [](QWidget* pParent) -> RateChart* {
                                               return new EventRateChart(pParent);
                                           }};
    return &module;
}
