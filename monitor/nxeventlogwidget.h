#pragma once

#include "custommainwindow.h"
#include "deviceeventsink.h"
#include "nxainterface.h"

#include <atomic>
#include <memory>

class CustomCheckBox;
class CustomFolderSelectWidget;
class CustomLabel;
class CustomPushButton;
class EventStatistics;
class EventStatisticsPanel;
class NXEventLogTableView;

// The Event Monitor of one connected device: the events it sends, with their device time stamps, and,
// with "Auto Save", a log file. One window per device-access instance, kept for the run; closing hides it.
class NXEventLogWidget : public CustomMainWindow, public DeviceEventSink
{
    Q_OBJECT
public:
    // The window of an instance; made (hidden) when bCreate is set and a parent is given.
    static NXEventLogWidget* Instance(quint64 nKey, bool bCreate, QWidget* parent);
    // Shows the window of an instance, 20 px off any other window standing at its place.
    static void ShowMonitor(quint64 nKey);
    // Ticks per second of the device's time stamps.
    static int TimestampFrequency(CCamInterface* pInterface);

    ~NXEventLogWidget() override;

    void SetDeviceInfo(const DeviceInfo& info);
    // Any thread: one device event becomes one row.
    void OnEvent(EventRecord* pRecord) override;

    NXEventLogTableView* TableView() const { return m_pTableView; }
    EventStatisticsPanel* StatisticsPanel() const { return m_pStatisticsPanel; }

protected:
    void changeEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;

protected slots:
    void on_changeFile();
    void on_autoSaveStateChg(int nState);
    void on_clearLogClicked();
    void on_logStateChg(int nState);

private:
    NXEventLogWidget(quint64 nKey, QWidget* parent);
    void RetranslateUi();
    void UpdateDefaultLogPath();
    QString LabelDetail() const;

    std::atomic<int> m_nEventTypeMask{0};
    CCamInterface* m_pInterface = nullptr;
    CustomLabel* m_pLblAutoSave = nullptr;
    CustomLabel* m_pLblSavePath = nullptr;
    CustomLabel* m_pLblEventType = nullptr;
    CustomCheckBox* m_pChkAutoSave = nullptr;
    CustomCheckBox* m_pChkEventType = nullptr;
    NXEventLogTableView* m_pTableView = nullptr;
    CustomPushButton* m_pBtnClear = nullptr;
    CustomFolderSelectWidget* m_pFolderSelect = nullptr;
    DeviceInfo m_deviceInfo;
    // Kept for every logged event, shown only when the user opens the panel.
    std::unique_ptr<EventStatistics> m_pStatistics;
    EventStatisticsPanel* m_pStatisticsPanel = nullptr;
};
