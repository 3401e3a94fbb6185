#pragma once
// What the enabled-event list (type 1) and the error list of an apply (type 0) show for a device: one
// group per event type (or IO line), one row per channel. Shared by the list dialog and the command line.

#include <QList>
#include <QString>

namespace Saltire {
struct EventTypeItem;
struct IOTypeItem;
}

struct MessageRow {
    QString strChannel;
    QString strEvents; // display names joined with ", "
    QString strError;  // list type 0: the group's error, else the channel's
    QString strToolTip; // list type 0: each refused event with what the device's answer means
};

struct MessageGroup {
    Saltire::EventTypeItem* pEventType = nullptr;
    Saltire::IOTypeItem* pIOType = nullptr;
    QString strTitle; // the type's name, or "IO_" and the line's
    QString strGroupError;
    QList<MessageRow> rows;
};

namespace MessageRows {

// Whether the group has anything to show in that list type.
bool HasContent(int nListType, Saltire::EventTypeItem* pEventType, Saltire::IOTypeItem* pIOType);
// The group's title and rows; no rows when its title is empty.
MessageGroup Group(int nListType, Saltire::EventTypeItem* pEventType, Saltire::IOTypeItem* pIOType, bool bChinese);
// Whether the last write left an error text on any type, IO line or channel.
bool HasErrors(const QList<Saltire::EventTypeItem*>& eventTypes);
// Every group with content, in model order.
QList<MessageGroup> Groups(int nListType, const QList<Saltire::EventTypeItem*>& eventTypes, bool bChinese);

} // namespace MessageRows
