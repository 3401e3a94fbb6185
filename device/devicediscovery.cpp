#include "devicediscovery.h"

#include "nxinterface.h"

#include <QDir>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace DeviceDiscovery {

QString ProducerFolder()
{
    return NXInterface::commonFilesPath()
           + QStringLiteral("/%1/Runtime/%2/").arg(NXInterface::appName(), NXInterface::runtimePlatformName());
}

QStringList ScanProducerFiles(const QString& strFolder)
{
    QStringList files;
    const QDir dir(strFolder);
    const QStringList entries = dir.entryList({QStringLiteral("*.cti")}, QDir::Files, QDir::NoSort);
    for (const QString& name : entries)
        if (name.startsWith(QLatin1String("DoVI"), Qt::CaseInsensitive))
            files.append(name);
    return files;
}

int AssignDeviceNumber(const DeviceInfo& record, quint32 nKeyNumber)
{
    // Written by the enumeration thread only; the lock keeps a later reader honest.
    static QMutex mutex;
    static QHash<QString, int> numbers;
    const QString key = NXInterface::uchar2QStringLocale(record.szKey, -1) + QStringLiteral("_%1").arg(nKeyNumber);
    QMutexLocker lock(&mutex);
    auto it = numbers.constFind(key);
    if (it != numbers.constEnd())
        return it.value();
    const int nNumber = numbers.size() + 1;
    numbers.insert(key, nNumber);
    return nNumber;
}

QList<DeviceInfo> EnumerateDevices(CCamInterface* pInterface, const QStringList& producerFiles)
{
    QList<DeviceInfo> devices;
    if (!pInterface)
        return devices;
    for (const QString& strFile : producerFiles) {
        DeviceInfoList list{};
        if (pInterface->EnumDevices(&list, strFile.toLocal8Bit().constData()) != 0)
            continue;
        for (quint32 i = 0; i < list.nCount && i < quint32(NXA_MAX_DEVICES); ++i) {
            DeviceInfo record = *list.pItems[i]; // the library's records change with its next call
            record.nDeviceNumber = quint32(AssignDeviceNumber(record, record.nKeyNumber));
            devices.append(record);
        }
    }
    return devices;
}

QString DeviceLabel(const DeviceInfo& record)
{
    if (record.bUseAltName) {
        const QString strAlt = NXInterface::GetEncodeQStringFromChar(record.szAltName, -1);
        if (!strAlt.isEmpty())
            return strAlt + QStringLiteral(" (%1)").arg(QString::fromLatin1(record.szLabelDetail));
    }
    return NXInterface::GetEncodeQStringFromUnChar(record.szDeviceName, -1);
}

} // namespace DeviceDiscovery
