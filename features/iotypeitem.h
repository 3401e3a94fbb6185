#pragma once

#include "rwitem.h"

#include <QList>

namespace Saltire {

struct ChannelItem;

struct IOTypeItem : RWItem {
    IOTypeItem() = default;
    ~IOTypeItem() override;
    IOTypeItem(const IOTypeItem&) = delete;
    IOTypeItem& operator=(const IOTypeItem&) = delete;

    QString strDisplayName;
    QString strErrorMsg;
    QList<ChannelItem*> listChannel; // owned
};

} // namespace Saltire
