#include "channelcheckwidget.h"

#include "channelitem.h"
#include "checklistshared.h"
#include "customcheckbox.h"
#include "eventitem.h"
#include "standardeventmodel.h"

#include <QHBoxLayout>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace Saltire;

ChannelCheckWidget::ChannelCheckWidget(Saltire::ChannelItem* pChannel, QWidget* parent)
    : CustomWidget(parent)
    , m_pChannelItem(pChannel)
{
    if (!m_pChannelItem)
        return;
    m_pCheckBox = CreateCheckBox(m_pChannelItem->strName, int(m_pChannelItem->nValue), this);
    m_pCheckBox->setObjectName(QStringLiteral("ChannelCheckBox"));
    m_pCheckBox->setFixedWidth(291);
    m_pCheckBox->setCheckState(Qt::CheckState(m_pChannelItem->nState));
    m_pCheckBox->setText(m_pChannelItem->strDisplayName);
    connect(m_pCheckBox, &QCheckBox::stateChanged, this, &ChannelCheckWidget::OnChannelStateChanged);

    auto* pBoxColumn = new QVBoxLayout;
    pBoxColumn->setContentsMargins(0, 0, 0, 0);
    pBoxColumn->setSpacing(0);
    pBoxColumn->addWidget(m_pCheckBox);
    pBoxColumn->addStretch();
    m_pRowLayout = new QHBoxLayout(this);
    m_pRowLayout->setContentsMargins(24, 0, 0, 0);
    m_pRowLayout->setSpacing(0);
    m_pRowLayout->addLayout(pBoxColumn);
}

QList<EventItem*> ChannelCheckWidget::AvailableEvents() const
{
    QList<EventItem*> events;
    for (EventItem* pEvent : qAsConst(m_pChannelItem->listEvent))
        if (pEvent->bShow)
            events.append(pEvent);
    return events;
}

// A new width only moves the boxes into a new grid; a new set of shown events (another user level) makes
// them again. Either way the grid is the same: rows of the column count, each row closed by a stretch and
// followed by 8 px.
void ChannelCheckWidget::RebuildEvents()
{
    if (!m_pChannelItem)
        return;
    const bool bChinese = IsChineseLanguage();
    if (m_pChannelItem->strName == QLatin1String(StandardEventModel::kChannelName)) {
        // The one channel of a standard camera has no name in its description: ours follows the language.
        m_pChannelItem->strDisplayName = StandardEventModel::ChannelDisplayName();
        m_pCheckBox->setText(m_pChannelItem->strDisplayName);
    }
    const QList<EventItem*> shown = AvailableEvents();
    const bool bKeep = m_pEventContainer && shown == m_boxEvents;
    if (bKeep) {
        delete m_pEventContainer->layout(); // the rows go, the boxes stay
    } else {
        delete m_pEventContainer;
        m_eventCheckBoxes.clear();
        m_pEventContainer = new CustomWidget(this);
        m_pEventContainer->setObjectName(QStringLiteral("EventContainer"));
        for (EventItem* pEvent : shown) {
            CustomCheckBox* pBox = CreateCheckBox(pEvent->strName, int(pEvent->nValue), m_pEventContainer);
            if (!pEvent->strToolTip.isEmpty()) { // what the description says of the event, below its name
                const QString strTip = pBox->toolTip() + QLatin1Char('\n') + pEvent->strToolTip;
                pBox->setToolTip(Qt::mightBeRichText(strTip) ? Qt::convertFromPlainText(strTip) : strTip);
            }
            connect(pBox, &QCheckBox::stateChanged, this, &ChannelCheckWidget::OnEventStateChanged);
            pBox->setCheckState(Qt::CheckState(pEvent->nState)); // not yet in the list: ignored by the handler
            m_eventCheckBoxes.append(pBox);
        }
        m_boxEvents = shown;
    }
    auto* pGrid = new QVBoxLayout;
    pGrid->setContentsMargins(0, 0, 0, 0);
    pGrid->setSpacing(0);
    int nHeight = 0;
    QHBoxLayout* pRow = nullptr;
    auto closeRow = [&] {
        pRow->addStretch();
        pGrid->addLayout(pRow);
        pGrid->addSpacing(8);
        nHeight += 32;
        pRow = nullptr;
    };
    const int nColumns = qMax(1, g_nColumnCount);
    const int nBoxWidth = qMax(1, g_nEventCheckBoxWidth); // a panel narrower than the box column
    for (int k = 0; k < m_eventCheckBoxes.size(); ++k) {
        CustomCheckBox* pBox = m_eventCheckBoxes.at(k);
        if (!pRow) {
            pRow = new QHBoxLayout;
            pRow->setContentsMargins(0, 0, 0, 0);
            pRow->setSpacing(0);
        }
        const EventItem* pEvent = m_boxEvents.at(k);
        pBox->setText(bChinese ? pEvent->strDisplayNameCn : pEvent->strDisplayNameEn);
        pBox->setFixedWidth(nBoxWidth);
        pRow->addWidget(pBox);
        if ((k + 1) % nColumns == 0)
            closeRow();
    }
    if (pRow)
        closeRow();
    m_pEventContainer->setLayout(pGrid);
    m_pEventContainer->setFixedHeight(nHeight);
    if (!bKeep)
        m_pRowLayout->addWidget(m_pEventContainer);
    setFixedHeight(nHeight);
}

void ChannelCheckWidget::UpdateChannelState()
{
    if (!m_pChannelItem)
        return;
    const QList<EventItem*> events = AvailableEvents();
    int nOn = 0;
    for (EventItem* pEvent : events)
        if (pEvent->nState == 2)
            ++nOn;
    const int nState = events.isEmpty() || nOn == 0 ? 0 : (nOn == events.size() ? 2 : 1);
    m_pChannelItem->nState = nState;
    SetChannelBoxQuietly(nState);
}

void ChannelCheckWidget::UpdateCheckState()
{
    if (!m_pChannelItem)
        return;
    const QList<EventItem*> events = AvailableEvents();
    for (int k = 0; k < m_eventCheckBoxes.size() && k < events.size(); ++k)
        SetEventBoxQuietly(m_eventCheckBoxes.at(k), events.at(k)->nState);
    SetChannelBoxQuietly(m_pChannelItem->nState);
}

void ChannelCheckWidget::OnChannelStateChanged(int nState)
{
    if (nState == Qt::PartiallyChecked) {
        // A click never leaves the box partial: go on to the state the stored one calls for.
        m_pCheckBox->setCheckState(m_pChannelItem->nState == 0 ? Qt::Checked : Qt::Unchecked);
        return;
    }
    const QList<EventItem*> events = AvailableEvents();
    for (int k = 0; k < events.size(); ++k) {
        events.at(k)->nState = nState;
        if (k < m_eventCheckBoxes.size())
            SetEventBoxQuietly(m_eventCheckBoxes.at(k), nState);
    }
    m_pChannelItem->nState = nState;
    emit SigCheckChanged();
}

void ChannelCheckWidget::OnEventStateChanged(int nState)
{
    auto* pBox = qobject_cast<CustomCheckBox*>(sender());
    const int k = m_eventCheckBoxes.indexOf(pBox);
    if (k < 0)
        return;
    const QList<EventItem*> events = AvailableEvents();
    if (k < events.size())
        events.at(k)->nState = nState;
    int nChecked = 0;
    for (CustomCheckBox* pEventBox : qAsConst(m_eventCheckBoxes))
        if (pEventBox->checkState() == Qt::Checked)
            ++nChecked;
    const int nChannel = nChecked == 0 ? 0 : (nChecked == m_eventCheckBoxes.size() ? 2 : 1);
    SetChannelBoxQuietly(nChannel);
    m_pChannelItem->nState = nChannel;
    emit SigCheckChanged();
}

void ChannelCheckWidget::SetChannelBoxQuietly(int nState)
{
    disconnect(m_pCheckBox, &QCheckBox::stateChanged, this, &ChannelCheckWidget::OnChannelStateChanged);
    m_pCheckBox->setCheckState(Qt::CheckState(nState));
    connect(m_pCheckBox, &QCheckBox::stateChanged, this, &ChannelCheckWidget::OnChannelStateChanged);
}

void ChannelCheckWidget::SetEventBoxQuietly(CustomCheckBox* pBox, int nState)
{
    disconnect(pBox, &QCheckBox::stateChanged, this, &ChannelCheckWidget::OnEventStateChanged);
    pBox->setCheckState(Qt::CheckState(nState));
    connect(pBox, &QCheckBox::stateChanged, this, &ChannelCheckWidget::OnEventStateChanged);
}
