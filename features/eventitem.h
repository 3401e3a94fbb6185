#pragma once

#include "rwitem.h"

namespace Saltire {

struct EventItem : RWItem {
    bool bDeviceState = false; // notification on, as last read or written
    QString strDisplayNameCn;
    QString strDisplayNameEn;
    qint32 nWidthCn = 0;
    qint32 nWidthEn = 0;
    QString strToolTip; // the description's tool tip, where the device's description gives one
    qint32 nWriteError = 0; // the device's answer when it refused this event's last apply; 0 otherwise
};

} // namespace Saltire
