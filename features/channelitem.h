#pragma once

#include "rwitem.h"

#include <QList>

namespace Saltire {

struct EventItem;

struct ChannelItem : RWItem {
    ChannelItem() { nState = 2; }
    ~ChannelItem() override;
    ChannelItem(const ChannelItem&) = delete;
    ChannelItem& operator=(const ChannelItem&) = delete;

    QString strDisplayName;
    QString strErrorMsg;
    QList<EventItem*> listEvent; // owned
};

} // namespace Saltire
