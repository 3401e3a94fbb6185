#pragma once

#include <QString>
#include <QtGlobal>

namespace Saltire {

// Fields every level of the event tree has.
struct RWItem {
    virtual ~RWItem() = default;

    qint32 nState = 0; // Qt::CheckState values
    bool bShow = true; // shown at the current user level; only shown items are written
    qint32 nLevel = 0; // 1 for "Guru" entries
    qint64 nValue = 0; // enumeration value on the device (unsigned 32-bit, zero-extended)
    QString strName;
};

} // namespace Saltire
