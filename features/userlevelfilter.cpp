#include "userlevelfilter.h"

#include "channelitem.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

#include <functional>

namespace Saltire {

void ApplyUserLevel(const QList<EventTypeItem*>& list, int nUserLevel)
{
    const std::function<bool(RWItem*)> visible = [&nUserLevel](RWItem* pItem) {
        return pItem->nLevel == 0 || nUserLevel == 1;
    };
    const std::function<bool(ChannelItem*, bool)> walkChannel = [visible](ChannelItem* pChannel, bool bParent) {
        const bool c = bParent && visible(pChannel);
        bool bAnyEvent = false;
        for (EventItem* pEvent : qAsConst(pChannel->listEvent)) {
            pEvent->bShow = c && visible(pEvent);
            bAnyEvent = bAnyEvent || pEvent->bShow;
        }
        pChannel->bShow = c && bAnyEvent;
        return pChannel->bShow;
    };
    const std::function<bool(const QList<ChannelItem*>&, bool)> walkChannels =
        [walkChannel](const QList<ChannelItem*>& channels, bool bParent) {
            bool bAny = false;
            for (ChannelItem* pChannel : channels)
                bAny = walkChannel(pChannel, bParent) || bAny; // every channel is visited
            return bParent && bAny;
        };

    for (EventTypeItem* pType : list) {
        const bool t = visible(pType);
        // The walks run before the tests so that hidden subtrees are refreshed too.
        if (pType->listIOType.isEmpty()) {
            const bool bChannels = walkChannels(pType->listChannel, t);
            pType->bShow = t && bChannels;
            continue;
        }
        bool bAnyIO = false;
        for (IOTypeItem* pIO : qAsConst(pType->listIOType)) {
            const bool i = t && visible(pIO);
            const bool bChannels = walkChannels(pIO->listChannel, i);
            pIO->bShow = i && bChannels;
            bAnyIO = bAnyIO || pIO->bShow;
        }
        pType->bShow = t && bAnyIO;
    }
}

int AggregateState(int nSum, int nCount)
{
    if (nSum == 2 * nCount)
        return 2;
    return nSum != 0 ? 1 : 0;
}

} // namespace Saltire
