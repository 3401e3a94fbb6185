#pragma once

#include "customlabel.h"

class NXEventLogTableView;

// A line at the foot of an Event Monitor's log that appears once the auto-save file stops being written
// (a full disk, a removed file), so that the user knows the rows are no longer saved, or when the device
// cannot send events at all (its producer refused them). Hidden until then.
class LogWriteNotice : public CustomLabel
{
    Q_OBJECT

public:
    static LogWriteNotice* Attach(NXEventLogTableView* pTable);
    // The device's producer refused its events with this result.
    void ShowEventsRefused(int nCode);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    explicit LogWriteNotice(NXEventLogTableView* pTable);
    void Show(const QString& strWhy);
    void Reveal();
    void Place();
    void Retranslate();

    NXEventLogTableView* m_pTable = nullptr;
    QString m_strWhy;
    int m_nRefused = 0;
};
