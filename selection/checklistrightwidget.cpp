#include "checklistrightwidget.h"

#include "channelitem.h"
#include "checklistshared.h"
#include "customcheckbox.h"
#include "customlinewidget.h"
#include "eventitem.h"
#include "eventtypecheckwidget.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

#include <QEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QVBoxLayout>

using namespace Saltire;

namespace {

constexpr int kLeftMargin = 28;
constexpr int kReservedWidth = 346; // the channel box column and the margins
constexpr int kBoxPadding = 48;     // the indicator and the gap to the next column

} // namespace

CheckListRightWidget::CheckListRightWidget(const QList<EventTypeItem*>& eventTypes, QWidget* parent)
    : CustomWidget(parent)
    , m_eventTypes(eventTypes)
{
    setObjectName(QStringLiteral("CheckListRightWidget"));
    // The boxes and rows made below keep their rules here, one copy for all that are alike: a page of
    // thousands of events is parsed once, not once per box.
    cMarkStyleHolder();
    auto* pLayout = new QVBoxLayout;
    pLayout->setContentsMargins(kLeftMargin, 0, 0, 0);
    pLayout->setSpacing(0);
    auto addGroup = [&](EventTypeItem* pType, IOTypeItem* pIO) {
        if (!m_groups.isEmpty()) {
            CustomLineWidget* pLine = CreateSeparator(this);
            pLayout->addWidget(pLine);
            m_separators.append(pLine);
        }
        auto* pGroup = new EventTypeCheckWidget(pType, pIO, this);
        pLayout->addWidget(pGroup);
        m_groups.append(pGroup);
    };
    for (EventTypeItem* pType : qAsConst(m_eventTypes)) {
        if (!pType->listIOType.isEmpty()) {
            for (IOTypeItem* pIO : qAsConst(pType->listIOType))
                addGroup(nullptr, pIO);
        } else {
            addGroup(pType, nullptr);
        }
    }
    pLayout->addStretch();
    setLayout(pLayout);
    UpdateVisibility();
}

void CheckListRightWidget::UpdateVisibility()
{
    for (int i = 0; i < m_groups.size(); ++i) {
        EventTypeCheckWidget* pGroup = m_groups.at(i);
        const bool bShow = pGroup->Item()->bShow;
        // Before the panel has a width the grids would only be built to be built again for it.
        if (bShow)
            pGroup->UpdateVisibility(m_nPreWidth > 0);
        pGroup->setHidden(!bShow);
        if (i < m_separators.size())
            m_separators.at(i)->setHidden(!bShow);
    }
}

void CheckListRightWidget::SetAllChecked(bool bChecked)
{
    const int nTarget = bChecked ? Qt::Checked : Qt::Unchecked;
    for (EventTypeCheckWidget* pGroup : qAsConst(m_groups)) {
        if (pGroup->isHidden() || !pGroup->CheckBox())
            continue;
        if (pGroup->CheckBox()->checkState() != Qt::CheckState(nTarget))
            pGroup->CheckBox()->setCheckState(Qt::CheckState(nTarget));
        else
            pGroup->OnGroupStateChanged(nTarget); // brings differing rows in line
    }
}

void CheckListRightWidget::UpdateCheckState()
{
    for (EventTypeCheckWidget* pGroup : qAsConst(m_groups))
        pGroup->UpdateCheckState();
}

void CheckListRightWidget::UpdateColumnInfo()
{
    if (m_nPreWidth < 1)
        return;
    qDebug("LanguageSizeChanged m_nPreWidth : %d", m_nPreWidth);
    const int nAvailable = m_nPreWidth - kReservedWidth;
    const bool bChinese = IsChineseLanguage();
    int nMaxEvents = 1, nMaxWidth = 1;
    auto scan = [&](const QList<ChannelItem*>& channels) {
        for (ChannelItem* pChannel : channels) {
            nMaxEvents = qMax(nMaxEvents, int(pChannel->listEvent.size()));
            for (EventItem* pEvent : qAsConst(pChannel->listEvent))
                nMaxWidth = qMax(nMaxWidth, bChinese ? pEvent->nWidthCn : pEvent->nWidthEn);
        }
    };
    for (EventTypeItem* pType : qAsConst(m_eventTypes)) {
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            scan(pIO->listChannel);
        scan(pType->listChannel);
    }
    qInfo("Max check item width : %d", nMaxWidth);
    int nColumns = nAvailable / (nMaxWidth + kBoxPadding);
    if (nColumns < 1)
        nColumns = 1;
    if (nColumns > nMaxEvents)
        nColumns = nMaxEvents;
    g_nColumnCount = nColumns;
    g_nEventCheckBoxWidth = nAvailable / g_nColumnCount;
    qInfo("ColumnCount : %d   EnvetCheckBoxWidth : %d", g_nColumnCount, g_nEventCheckBoxWidth);
}

int CheckListRightWidget::GroupOffset(int nIndex) const
{
    if (nIndex < 1 || nIndex >= m_groups.size())
        return 0;
    int nOffset = 0;
    for (int i = 0; i < nIndex; ++i)
        if (!m_groups.at(i)->isHidden())
            nOffset += m_groups.at(i)->height() + 1;
    return nOffset;
}

int CheckListRightWidget::GroupAt(int nPosition) const
{
    int nFirst = -1, nLast = -1, nTotal = 0;
    for (int i = 0; i < m_groups.size(); ++i) {
        if (m_groups.at(i)->isHidden())
            continue;
        if (nFirst < 0)
            nFirst = i;
        nLast = i;
        if (nPosition >= 1 && nTotal > nPosition)
            return i;
        nTotal += m_groups.at(i)->height() + 1;
    }
    if (nFirst < 0)
        return 0;
    return nPosition < 1 ? nFirst : nLast;
}

void CheckListRightWidget::resizeEvent(QResizeEvent* pEvent)
{
    CustomWidget::resizeEvent(pEvent);
    // The grids are rebuilt once per event-loop turn, for the last width: a page being set up is
    // resized several times before it is first painted.
    const bool bScheduled = m_nPendingWidth >= 0;
    m_nPendingWidth = pEvent->size().width();
    if (!bScheduled)
        QTimer::singleShot(0, this, &CheckListRightWidget::ApplyPendingWidth);
}

void CheckListRightWidget::ApplyPendingWidth()
{
    const int nWidth = m_nPendingWidth;
    m_nPendingWidth = -1;
    if (nWidth < 0 || nWidth == m_nPreWidth)
        return;
    m_nPreWidth = nWidth;
    UpdateColumnInfo();
    for (EventTypeCheckWidget* pGroup : qAsConst(m_groups))
        pGroup->ResizeGroup(m_nPreWidth - kLeftMargin);
}

void CheckListRightWidget::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange) {
        UpdateColumnInfo();
        for (EventTypeCheckWidget* pGroup : qAsConst(m_groups))
            pGroup->UpdateLayout();
    }
    CustomWidget::changeEvent(pEvent);
}
