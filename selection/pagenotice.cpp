#include "pagenotice.h"

#include <QEvent>

PageNotice::PageNotice(QWidget* pPage, const QString& strObjectName)
    : CustomLabel(pPage)
    , m_pPage(pPage)
{
    setObjectName(strObjectName);
    cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
    cSetBackgroundColor(QStringLiteral("#FFF1F0"), IS_Normal);
    cSetFontSize(13, IS_Normal);
    setContentsMargins(8, 4, 8, 4);
    setWordWrap(false);
    pPage->installEventFilter(this);
}

void PageNotice::Show(bool bShow)
{
    setVisible(bShow);
    Place(m_pPage);
}

void PageNotice::Place(QWidget* pPage)
{
    int nTop = 0;
    for (QObject* pChild : pPage->children()) {
        auto* pNotice = qobject_cast<PageNotice*>(pChild);
        if (!pNotice || pNotice->isHidden())
            continue;
        const int nHeight = pNotice->sizeHint().height();
        pNotice->setGeometry(0, nTop, pPage->width(), nHeight);
        pNotice->raise();
        nTop += nHeight;
    }
    pPage->setContentsMargins(0, nTop, 0, 0);
}

bool PageNotice::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pPage && pEvent->type() == QEvent::Resize)
        Place(m_pPage);
    return CustomLabel::eventFilter(pWatched, pEvent);
}

void PageNotice::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange) {
        Retranslate();
        Place(m_pPage);
    }
    CustomLabel::changeEvent(pEvent);
}
