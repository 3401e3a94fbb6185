#pragma once

#include "rwitem.h"

#include <QList>

namespace Saltire {

struct ChannelItem;
struct IOTypeItem;

// One event category. An IO category fills listIOType, any other listChannel.
struct EventTypeItem : RWItem {
    EventTypeItem() = default;
    ~EventTypeItem() override;
    EventTypeItem(const EventTypeItem&) = delete;
    EventTypeItem& operator=(const EventTypeItem&) = delete;

    QString strDisplayName;
    QString strErrorMsg;
    QList<ChannelItem*> listChannel; // owned
    QList<IOTypeItem*> listIOType;   // owned
};

} // namespace Saltire
