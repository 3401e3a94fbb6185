#pragma once
// Producer scan, device numbering and device labels for the device selector.

#include "nxainterface.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace DeviceDiscovery {

// The producers' folder: common files + "/<suite>/Runtime/<platform>/".
QString ProducerFolder();

// Producer file names ("*.cti" starting with "DoVI", any case) of a folder, in directory-listing order.
QStringList ScanProducerFiles(const QString& strFolder);

// The producer files of the GenTL search path (GENICAM_GENTL64_PATH): every "*.cti" of its folders, as
// canonical absolute paths, each once and leaving out the files already found (bare names are taken in
// the producers' folder). A missing or unreadable folder is skipped with a warning.
QStringList GenTLPathProducers(const QStringList& alreadyFound);

// The producers' folder's files (ScanProducerFiles), then those of the GenTL search path.
QStringList AllProducerFiles();

// The run-wide number of a device key (key text + "_" + key number): 1 upward, never reused.
int AssignDeviceNumber(const DeviceInfo& record, quint32 nKeyNumber);

// The devices every producer file reports through the instance, in order, each numbered by
// AssignDeviceNumber. A producer whose enumeration fails adds nothing; a device already listed through an
// earlier producer is skipped (and logged).
QList<DeviceInfo> EnumerateDevices(CCamInterface* pInterface, const QStringList& producerFiles);

// The selector text of a record: "alternative name (detail)" or the device name.
QString DeviceLabel(const DeviceInfo& record);

} // namespace DeviceDiscovery
