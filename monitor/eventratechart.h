#pragma once

#include "eventstatrow.h"

#include <qwt_plot.h>

#include <QHash>

class QwtLegend;
class QwtPlotCurve;

// Events per second of each kind of event over the last minute, one line each. Clicking a line's legend
// entry hides or shows the line; hidden lines stay hidden through refreshes.
class EventRateChart : public QwtPlot
{
    Q_OBJECT

public:
    explicit EventRateChart(QWidget* parent = nullptr);

    void setSnapshot(const EventStatisticsSnapshot& snapshot);
    // The line of a kind of event, titled as the log names it ("name[ID:0x....]"); null when none.
    QwtPlotCurve* curve(const QString& strTitle) const;
    QList<QwtPlotCurve*> curves() const;
    QWidget* legendEntry(const QString& strTitle) const;

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    void OnLegendChecked(const QVariant& itemInfo, bool bOn);
    void Rescale();
    void Retranslate();

    QwtLegend* m_pLegend = nullptr;
    QHash<QString, QwtPlotCurve*> m_curves;
    int m_nColor = 0;
};
