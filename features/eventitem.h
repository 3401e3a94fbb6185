#pragma once

#include "rwitem.h"

namespace Saltire {

struct EventItem : RWItem {
    bool bDeviceState = false; // notification on, as last read or written
    QString strDisplayNameCn;
    QString strDisplayNameEn;
    qint32 nWidthCn = 0;
    qint32 nWidthEn = 0;
};

} // namespace Saltire
