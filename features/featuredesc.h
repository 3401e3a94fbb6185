#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace Saltire {

struct EnumEntryDesc {
    qint32 nValue = 0;
    QString strName;
    QString strDisplayName;
    QString strDisplayNameCn;
    QString strVisibility;
};

struct FeatureDesc {
    QString strName;
    QString strDisplayName;
    QString strDisplayNameCn;
    QList<EnumEntryDesc> listEntry; // document order
};

// Only "EventCategory", "EventIOType", "ChannelSelector" and "EventSelector", when described.
using FeatureDescMap = QMap<QString, FeatureDesc>;

} // namespace Saltire
