#include "messagerows.h"

#include "channelitem.h"
#include "deviceproblems.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

using namespace Saltire;

namespace MessageRows {

namespace {

QString GroupError(EventTypeItem* pEventType, IOTypeItem* pIOType)
{
    if (!pEventType->strErrorMsg.isEmpty())
        return pEventType->strErrorMsg;
    return pIOType ? pIOType->strErrorMsg : QString();
}

} // namespace

bool HasContent(int nListType, EventTypeItem* pEventType, IOTypeItem* pIOType)
{
    if (!pEventType)
        return false;
    const RWItem* pItem = pIOType ? static_cast<RWItem*>(pIOType) : pEventType;
    if (!pItem->bShow)
        return false;
    if (nListType == 0 && !GroupError(pEventType, pIOType).isEmpty())
        return true;
    const QList<ChannelItem*>& channels = pIOType ? pIOType->listChannel : pEventType->listChannel;
    for (const ChannelItem* pChannel : channels) {
        if (!pChannel->bShow)
            continue;
        if (nListType == 0) {
            if (!pChannel->strErrorMsg.isEmpty())
                return true;
            continue;
        }
        for (const EventItem* pEvent : pChannel->listEvent)
            if (pEvent->bShow && pEvent->bDeviceState)
                return true;
    }
    return false;
}

MessageGroup Group(int nListType, EventTypeItem* pEventType, IOTypeItem* pIOType, bool bChinese)
{
    MessageGroup group;
    group.pEventType = pEventType;
    group.pIOType = pIOType;
    if (!pEventType)
        return group;
    const bool bErrors = nListType == 0;
    group.strTitle = pIOType ? QStringLiteral("IO_%1").arg(pIOType->strDisplayName) : pEventType->strDisplayName;
    group.strGroupError = GroupError(pEventType, pIOType);
    if (group.strTitle.isEmpty())
        return group;
    const QList<ChannelItem*>& channels = pIOType ? pIOType->listChannel : pEventType->listChannel;
    for (const ChannelItem* pChannel : channels) {
        if (!pChannel->bShow)
            continue;
        if (bErrors && pChannel->strErrorMsg.isEmpty() && group.strGroupError.isEmpty())
            continue;
        QStringList names, refusals;
        for (const EventItem* pEvent : pChannel->listEvent) {
            if (!pEvent->bShow || (!bErrors && !pEvent->bDeviceState))
                continue;
            names << (bChinese ? pEvent->strDisplayNameCn : pEvent->strDisplayNameEn);
            if (bErrors && pEvent->nWriteError != 0)
                refusals << names.last() + QStringLiteral(": ") + DeviceProblems::CodeText(pEvent->nWriteError);
        }
        if (names.isEmpty())
            continue;
        MessageRow row;
        row.strChannel = pChannel->strDisplayName;
        row.strEvents = names.join(QStringLiteral(", "));
        if (bErrors) {
            row.strError = !group.strGroupError.isEmpty() ? group.strGroupError : pChannel->strErrorMsg;
            row.strToolTip = refusals.join(QLatin1Char('\n'));
        }
        group.rows.append(row);
    }
    return group;
}

bool HasErrors(const QList<EventTypeItem*>& eventTypes)
{
    auto channelError = [](const QList<ChannelItem*>& channels) {
        for (const ChannelItem* pChannel : channels)
            if (!pChannel->strErrorMsg.isEmpty())
                return true;
        return false;
    };
    for (const EventTypeItem* pType : eventTypes) {
        if (!pType->strErrorMsg.isEmpty() || channelError(pType->listChannel))
            return true;
        for (const IOTypeItem* pIO : pType->listIOType)
            if (!pIO->strErrorMsg.isEmpty() || channelError(pIO->listChannel))
                return true;
    }
    return false;
}

QList<MessageGroup> Groups(int nListType, const QList<EventTypeItem*>& eventTypes, bool bChinese)
{
    QList<MessageGroup> groups;
    for (EventTypeItem* pType : eventTypes) {
        if (pType->listIOType.isEmpty()) {
            if (HasContent(nListType, pType, nullptr))
                groups.append(Group(nListType, pType, nullptr, bChinese));
            continue;
        }
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            if (HasContent(nListType, pType, pIO))
                groups.append(Group(nListType, pType, pIO, bChinese));
    }
    return groups;
}

} // namespace MessageRows
