#include "logwritenotice.h"

#include "nxeventlogtableview.h"

#include <QEvent>

LogWriteNotice* LogWriteNotice::Attach(NXEventLogTableView* pTable)
{
    return pTable ? new LogWriteNotice(pTable) : nullptr;
}

LogWriteNotice::LogWriteNotice(NXEventLogTableView* pTable)
    : CustomLabel(pTable)
    , m_pTable(pTable)
{
    setObjectName(QStringLiteral("LogWriteNotice"));
    cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
    cSetBackgroundColor(QStringLiteral("#FFF1F0"), IS_Normal);
    cSetFontSize(13, IS_Normal);
    setContentsMargins(8, 4, 8, 4);
    hide();
    pTable->installEventFilter(this);
    pTable->setWriteFailureHandler([this](const QString& strWhy) { Show(strWhy); });
}

void LogWriteNotice::Show(const QString& strWhy)
{
    m_strWhy = strWhy;
    Reveal();
}

void LogWriteNotice::ShowEventsRefused(int nCode)
{
    m_nRefused = nCode;
    Reveal();
}

void LogWriteNotice::Reveal()
{
    Retranslate();
    Place();
    show();
    raise();
}

void LogWriteNotice::Retranslate()
{
    QStringList lines;
    if (m_nRefused)
        lines << tr("This device cannot send events: its producer refused them (error 0x%1).")
                     .arg(quint32(m_nRefused), 8, 16, QLatin1Char('0'));
    if (!m_strWhy.isEmpty())
        lines << tr("The log file is no longer written: %1").arg(m_strWhy);
    setText(lines.join(QLatin1Char('\n')));
    setToolTip(text());
}

// Along the foot of the table, over its last rows.
void LogWriteNotice::Place()
{
    const int nHeight = sizeHint().height();
    setGeometry(0, m_pTable->height() - nHeight, m_pTable->width(), nHeight);
}

bool LogWriteNotice::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pTable && pEvent->type() == QEvent::Resize && isVisible())
        Place();
    return CustomLabel::eventFilter(pWatched, pEvent);
}

void LogWriteNotice::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange && (!m_strWhy.isEmpty() || m_nRefused))
        Retranslate();
    CustomLabel::changeEvent(pEvent);
}
