#pragma once

#include "customlabel.h"

#include <QStringList>

// A line along the top of a device's event page when some event states could not be read from the device:
// those events show as off, and "Apply" would switch them off on the device. Shown once, with the page.
class ReadFailureNotice : public CustomLabel
{
    Q_OBJECT

public:
    // Nothing when every state was read.
    static ReadFailureNotice* Attach(QWidget* pPage, const QStringList& events);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    ReadFailureNotice(QWidget* pPage, const QStringList& events);
    void Place();
    void Retranslate();

    QWidget* m_pPage = nullptr;
    QStringList m_events;
};
