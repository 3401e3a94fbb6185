#include "channelitem.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

namespace Saltire {

ChannelItem::~ChannelItem()
{
    qDeleteAll(listEvent);
}

IOTypeItem::~IOTypeItem()
{
    qDeleteAll(listChannel);
}

EventTypeItem::~EventTypeItem()
{
    qDeleteAll(listIOType);
    qDeleteAll(listChannel);
}

} // namespace Saltire
