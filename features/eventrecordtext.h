#pragma once
// How a device event reads: its time stamp in seconds and its "name[ID:0x....] " text. Shared by the
// Event Monitor and the command line.

#include "nxainterface.h"

#include <QString>

namespace EventRecordText {

// Ticks per second of the device's time stamps: "GevTimestampTickFrequency", else
// "DeviceTimestampTickFrequency", else "DeviceTimestampIncrement", else 1,000,000,000. Read anew each time.
int TimestampFrequency(CCamInterface* pInterface);

// The time stamp in seconds with eight decimals; a frequency of 0 counts as 1,000,000,000.
QString Seconds(const EventRecord& record, int nFrequency);
// The same for ticks alone, read as a signed number as the log does.
QString Seconds(quint64 nTicks, int nFrequency);

// "<name>[ID:0x<id>] ", ending in a blank.
QString Content(const EventRecord& record);

// Now, as "yyyy-MM-dd HH:mm:ss:zzz" local time: when an event arrived.
QString ArrivalTime();
// The same as ISO 8601 with milliseconds and the offset from UTC, "yyyy-MM-ddTHH:mm:ss.zzz+hh:mm", for
// machine-readable output.
QString ArrivalTimeIso();

// The event's name alone, and its id as "0x...." text.
QString Name(const EventRecord& record);
QString IdText(const EventRecord& record);

} // namespace EventRecordText
