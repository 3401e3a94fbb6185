#include "readfailurenotice.h"

#include <QEvent>

ReadFailureNotice* ReadFailureNotice::Attach(QWidget* pPage, const QStringList& events)
{
    if (!pPage || events.isEmpty())
        return nullptr;
    return new ReadFailureNotice(pPage, events);
}

ReadFailureNotice::ReadFailureNotice(QWidget* pPage, const QStringList& events)
    : CustomLabel(pPage)
    , m_pPage(pPage)
    , m_events(events)
{
    setObjectName(QStringLiteral("ReadFailureNotice"));
    cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
    cSetBackgroundColor(QStringLiteral("#FFF1F0"), IS_Normal);
    cSetFontSize(13, IS_Normal);
    setContentsMargins(8, 4, 8, 4);
    setWordWrap(false);
    Retranslate();
    pPage->installEventFilter(this);
    Place();
    show();
    raise();
}

void ReadFailureNotice::Retranslate()
{
    setText(tr("%1 event states could not be read from the device and show as off: \"Apply\" switches them off.")
                .arg(m_events.size()));
    setToolTip(m_events.join(QLatin1Char('\n')));
}

void ReadFailureNotice::Place()
{
    setGeometry(0, 0, m_pPage->width(), sizeHint().height());
}

bool ReadFailureNotice::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pPage && pEvent->type() == QEvent::Resize)
        Place();
    return CustomLabel::eventFilter(pWatched, pEvent);
}

void ReadFailureNotice::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        Retranslate();
    CustomLabel::changeEvent(pEvent);
}
