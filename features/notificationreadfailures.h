#pragma once

#include <QStringList>

// Events whose notification state could not be read from their device at the last read (a device that
// refuses some reads). Such an event shows as off, and an apply would switch it off on the device: the
// window tells the user so, and the command line refuses to apply over it unless forced. Thread-safe:
// the worker writes, the GUI thread and the command line read.
namespace NotificationReadFailures {

void Clear(int nDeviceNumber);
void Add(int nDeviceNumber, const QString& strEvent);
QStringList List(int nDeviceNumber);

} // namespace NotificationReadFailures
