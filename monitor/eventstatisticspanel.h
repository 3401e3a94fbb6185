#pragma once

#include "nxainterface.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class CustomLabel;
class CustomPushButton;
class EventStatistics;
class EventStatisticsModel;
class QSortFilterProxyModel;
class QTableView;
class QTimer;
class RateChart;

// The statistics of an Event Monitor's events: a line for events the producer lost, a sortable table per
// kind of event, "Export statistics..." and a chart of the last minute's rates. Hidden until the user
// presses the "Statistics" button it makes for the window; the window grows by the panel while it is open.
// The chart is made when the panel first opens (it loads its module then).
class EventStatisticsPanel : public QWidget
{
    Q_OBJECT

public:
    using StatusSource = std::function<bool(NXADeviceStatus&)>;

    EventStatisticsPanel(EventStatistics* pStatistics, CInterface* pInterface, QWidget* pWindow);

    CustomPushButton* Button() const { return m_pBtnStatistics; }
    // Where the producer's counts come from; the device-access library by default.
    void SetStatusSource(StatusSource source);

    // GUI thread, with each batch of rows: shows the statistics as they are now, while open; the chart, the
    // suspected misses and the medians may be up to a second old.
    void Refresh();
    // The statistics were cleared: lost events count from now on.
    void Reset();

    EventStatisticsModel* Model() const { return m_pModel; }
    // The chart, once the panel has been opened and if its module could be loaded.
    RateChart* Chart() const { return m_pChart; }

protected:
    void changeEvent(QEvent* pEvent) override;

private slots:
    void OnToggle();
    void OnExport();

private:
    quint64 LostSinceReset();
    void Retranslate();
    void FitColumns();
    void MakeChart();
    void Update(bool bNow);

    EventStatistics* m_pStatistics = nullptr;
    QWidget* m_pWindow = nullptr;
    StatusSource m_statusSource;
    CustomPushButton* m_pBtnStatistics = nullptr;
    CustomLabel* m_pLblLost = nullptr;
    QTableView* m_pTable = nullptr;
    EventStatisticsModel* m_pModel = nullptr;
    QSortFilterProxyModel* m_pProxy = nullptr;
    CustomPushButton* m_pBtnExport = nullptr;
    RateChart* m_pChart = nullptr;
    CustomLabel* m_pLblNoChart = nullptr; // in the chart's place when its module cannot be loaded
    QString m_strChartError;
    QSize m_closedSize;
    QElapsedTimer m_chartClock; // since the chart was last redrawn
    QElapsedTimer m_medianClock; // since the medians were last worked out
    QTimer* m_pMedianTimer = nullptr; // refreshes once stale medians are due
    int m_nLogHeight = 0;    // the log's fixed height while the panel is closed
    int m_nClosedEdges = 0;  // the window's resizable edges while the panel is closed
    quint64 m_nLostBase = 0;
    quint64 m_nLost = 0;
    quint64 m_nUntracked = 0;
};
