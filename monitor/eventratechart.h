#pragma once

#include "ratechart.h"

#include <qwt_plot.h>

#include <QHash>

class QwtLegend;
class QwtPlotCurve;

// Events per second of each kind of event over the last minute, one line each, titled as the log names
// the kind ("name[ID:0x....]"). Clicking a line's legend entry hides or shows the line; hidden lines stay
// hidden through refreshes. Made in the chart's module (see RateChart).
class EventRateChart : public QwtPlot, public RateChart
{
    Q_OBJECT

public:
    explicit EventRateChart(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    void setSnapshot(const EventStatisticsSnapshot& snapshot) override;
    int lineCount() const override { return m_curves.size(); }

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
