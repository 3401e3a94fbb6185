#pragma once

#include "eventstatrow.h"

#include <QString>

class QWidget;

// The chart of the last minute's rates, as the statistics panel sees it. It is drawn with Qwt, which
// lives with the chart in a module of its own (libSaltireRateChart.so in the program's lib folder): the
// program starts without Qwt and loads it with the first chart.
class RateChart
{
public:
    virtual ~RateChart() = default;

    // The chart itself, owned by its parent widget: deleting it deletes this.
    virtual QWidget* widget() = 0;
    virtual void setSnapshot(const EventStatisticsSnapshot& snapshot) = 0;
    // The lines drawn now, one per kind of event.
    virtual int lineCount() const = 0;

    // A new chart, or null with what went wrong in pError when the module cannot be loaded. GUI thread.
    static RateChart* create(QWidget* pParent, QString* pError);
};

// What the module exports as saltire_rate_chart(): the version of this interface it was built with, and
// how to make a chart.
struct RateChartModule
{
    int nVersion;
    RateChart* (*create)(QWidget* pParent);
};
constexpr int kRateChartVersion = 1;
