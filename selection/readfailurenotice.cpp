#include "readfailurenotice.h"

ReadFailureNotice* ReadFailureNotice::Attach(QWidget* pPage, const QStringList& events)
{
    if (!pPage || events.isEmpty())
        return nullptr;
    return new ReadFailureNotice(pPage, events);
}

ReadFailureNotice::ReadFailureNotice(QWidget* pPage, const QStringList& events)
    : PageNotice(pPage, QStringLiteral("ReadFailureNotice"))
    , m_events(events)
{
    Retranslate();
    Show(true);
}

void ReadFailureNotice::Retranslate()
{
    setText(tr("%1 event states could not be read from the device and show as off: \"Apply\" switches them off.")
                .arg(m_events.size()));
    setToolTip(m_events.join(QLatin1Char('\n')));
}
