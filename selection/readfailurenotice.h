#pragma once

#include "pagenotice.h"

#include <QStringList>

// The notice of a page whose device refused to give some event states: those events show as off, and
// "Apply" would switch them off on the device. Shown once, with the page.
class ReadFailureNotice : public PageNotice
{
    Q_OBJECT

public:
    // Nothing when every state was read.
    static ReadFailureNotice* Attach(QWidget* pPage, const QStringList& events);

protected:
    void Retranslate() override;

private:
    ReadFailureNotice(QWidget* pPage, const QStringList& events);

    QStringList m_events;
};
