#include "eventtypecheckwidget.h"

#include "channelcheckwidget.h"
#include "channelitem.h"
#include "checklistshared.h"
#include "customcheckbox.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"
#include "userlevelfilter.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Saltire;

namespace {

constexpr int kGroupChrome = 76; // margins 20 + 20, the group box 24, the spacing 12

} // namespace

EventTypeCheckWidget::EventTypeCheckWidget(EventTypeItem* pEventType, IOTypeItem* pIOType, QWidget* parent)
    : CustomWidget(parent)
    , m_pEventTypeItem(pEventType)
    , m_pIOTypeItem(pIOType)
{
    RWItem* pItem = Item();
    if (!pItem)
        return;
    const QString strTitle = m_pIOTypeItem ? QStringLiteral("IO_") + m_pIOTypeItem->strDisplayName
                                           : m_pEventTypeItem->strDisplayName;
    if (strTitle.isEmpty())
        return; // a group without a title has no box and no rows

    m_pCheckBox = CreateCheckBox(pItem->strName, int(pItem->nValue), this);
    m_pCheckBox->setObjectName(QStringLiteral("GroupCheckBox"));
    m_pCheckBox->setFixedWidth(274);
    m_pCheckBox->setCheckState(Qt::CheckState(pItem->nState));
    m_pCheckBox->setText(strTitle);
    connect(m_pCheckBox, &QCheckBox::stateChanged, this, &EventTypeCheckWidget::OnGroupStateChanged);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 20, 0, 20);
    pLayout->setSpacing(0);
    auto* pTitleRow = new QHBoxLayout;
    pTitleRow->setContentsMargins(0, 0, 0, 0);
    pTitleRow->setSpacing(0);
    pTitleRow->addWidget(m_pCheckBox);
    pTitleRow->addStretch();
    pLayout->addLayout(pTitleRow);
    pLayout->addSpacing(12);

    const QList<ChannelItem*>& channels = m_pIOTypeItem ? m_pIOTypeItem->listChannel : m_pEventTypeItem->listChannel;
    for (ChannelItem* pChannel : channels) {
        auto* pRow = new ChannelCheckWidget(pChannel, this);
        connect(pRow, &ChannelCheckWidget::SigCheckChanged, this, &EventTypeCheckWidget::OnChannelCheckChanged);
        pLayout->addWidget(pRow);
        m_channelWidgets.append(pRow);
    }
}

RWItem* EventTypeCheckWidget::Item() const
{
    if (m_pIOTypeItem)
        return m_pIOTypeItem;
    return m_pEventTypeItem;
}

void EventTypeCheckWidget::SetHeightFromRows()
{
    int nHeight = kGroupChrome;
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets))
        if (!pRow->isHidden())
            nHeight += pRow->height();
    setFixedHeight(m_pCheckBox ? nHeight : 0);
}

void EventTypeCheckWidget::UpdateVisibility(bool bRebuildGrids)
{
    if (!m_pCheckBox) {
        setFixedHeight(0); // a group without a title shows nothing and leaves its item alone
        return;
    }
    int nSum = 0, nCount = 0;
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets)) {
        if (bRebuildGrids)
            pRow->RebuildEvents();
        ChannelItem* pChannel = pRow->ChannelItem();
        if (pChannel->bShow) {
            pRow->UpdateChannelState();
            nSum += pChannel->nState;
            ++nCount;
        }
        pRow->setHidden(!pChannel->bShow);
    }
    SetHeightFromRows();
    SetGroupState(AggregateState(nSum, nCount));
}

void EventTypeCheckWidget::UpdateLayout()
{
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets))
        pRow->RebuildEvents();
    SetHeightFromRows();
}

void EventTypeCheckWidget::ResizeGroup(int nWidth)
{
    setFixedWidth(qMax(0, nWidth));
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets))
        pRow->setFixedWidth(qMax(0, nWidth));
    UpdateLayout();
}

void EventTypeCheckWidget::UpdateCheckState()
{
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets))
        pRow->UpdateCheckState();
    if (RWItem* pItem = Item())
        SetGroupState(pItem->nState); // the box quietly to the stored state
}

// Quietly into the box, and into the group's item.
void EventTypeCheckWidget::SetGroupState(int nState)
{
    if (RWItem* pItem = Item())
        pItem->nState = nState;
    if (!m_pCheckBox)
        return;
    disconnect(m_pCheckBox, &QCheckBox::stateChanged, this, &EventTypeCheckWidget::OnGroupStateChanged);
    m_pCheckBox->setCheckState(Qt::CheckState(nState));
    connect(m_pCheckBox, &QCheckBox::stateChanged, this, &EventTypeCheckWidget::OnGroupStateChanged);
}

void EventTypeCheckWidget::OnChannelCheckChanged()
{
    int nSum = 0;
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets))
        nSum += pRow->ChannelItem()->nState;
    SetGroupState(AggregateState(nSum, m_channelWidgets.size()));
}

void EventTypeCheckWidget::OnGroupStateChanged(int nState)
{
    RWItem* pItem = Item();
    if (nState == Qt::PartiallyChecked) {
        m_pCheckBox->setCheckState(!pItem || pItem->nState == 0 ? Qt::Checked : Qt::Unchecked);
        return;
    }
    if (pItem)
        pItem->nState = nState;
    for (ChannelCheckWidget* pRow : qAsConst(m_channelWidgets)) {
        if (pRow->isHidden())
            continue; // hidden rows keep their state
        disconnect(pRow, &ChannelCheckWidget::SigCheckChanged, this, &EventTypeCheckWidget::OnChannelCheckChanged);
        if (pRow->CheckBox()->checkState() == Qt::CheckState(nState))
            pRow->OnChannelStateChanged(nState);
        else
            pRow->CheckBox()->setCheckState(Qt::CheckState(nState));
        connect(pRow, &ChannelCheckWidget::SigCheckChanged, this, &EventTypeCheckWidget::OnChannelCheckChanged);
    }
}
