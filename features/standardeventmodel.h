#pragma once
// Devices that describe their events the standard way (GenICam SFNC): one "EventSelector" enumeration and
// an "EventNotification" enumeration selected by it, instead of the nested category, IO line and channel
// enumerations. Their tree has one event type (the category that holds EventSelector, value 0), one
// channel (value 0) and one event per EventSelector entry that is implemented and available now.
// Notifications go by entry name: "On" (or the first entry that is neither "Off" nor "Once") and "Off".

#include <QList>
#include <QString>

class CCamInterface;

namespace Saltire {

struct ChannelItem;
struct EventTypeItem;

// The EventNotification values that switch an event on and off (the nested enumerations use 1 and 0); a
// device without such an entry refuses that write.
struct NotificationValues {
    bool bHasOn = true, bHasOff = true;
    qint64 nOn = 1, nOff = 0;
};

// Writes every shown event of a channel: its EventSelector value, then its notification. The channel's
// error text ends with the last failure; a written event's device state is what it now has.
void WriteChannelEvents(CCamInterface* pInterface, ChannelItem* pChannel, const NotificationValues& values);

struct StandardEventLayout {
    QString strCategory;          // the category that holds EventSelector
    QString strCategoryDisplay;
    int nCategoryLevel = 0;
    NotificationValues notification{false, false, 0, 0}; // by entry name: "On" (or its stand-in) and "Off"
};

namespace StandardEventModel {

// The channel's name in every model of this kind.
extern const char* const kChannelName;
// Its display name in the interface language.
QString ChannelDisplayName();

// 0 when the open device's description has "EventSelector" and "EventNotification"; otherwise the result
// that stopped it (GC_ERR_INVALID_ID when it lacks one of them).
int Describe(CCamInterface* pInterface, StandardEventLayout& layout);

// Reads the tree of an open device: one selector write and one notification read per event. Events whose
// notification cannot be read are noted as such for the device number and read as off; when the entries
// of EventSelector cannot be read, the channel has no events (logged).
EventTypeItem* Read(CCamInterface* pInterface, const StandardEventLayout& layout, int nDeviceNumber);

// Writes every shown event: one selector write and one notification write each. Failures leave their
// error text on the channel, as for the nested enumerations.
void Write(CCamInterface* pInterface, const StandardEventLayout& layout, const QList<EventTypeItem*>& types);

} // namespace StandardEventModel

} // namespace Saltire
