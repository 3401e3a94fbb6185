#include "devicediscovery.h"

#include "nxinterface.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

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

QStringList GenTLPathProducers(const QStringList& alreadyFound)
{
    QStringList files;
    QSet<QString> seen;
    const QDir runtime(ProducerFolder());
    for (const QString& strFile : alreadyFound)
        seen.insert(QFileInfo(QDir::isAbsolutePath(strFile) ? strFile : runtime.filePath(strFile)).canonicalFilePath());
    const QString strPath = qEnvironmentVariable("GENICAM_GENTL64_PATH");
    for (const QString& strFolder : strPath.split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        const QDir dir(strFolder);
        if (!dir.exists() || !QFileInfo(strFolder).isReadable()) {
            qWarning("GenTL search path folder %s is missing or unreadable: skipped", qUtf8Printable(strFolder));
            continue;
        }
        const QStringList entries = dir.entryList({QStringLiteral("*.cti")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& strName : entries) {
            const QString strCanonical = QFileInfo(dir.filePath(strName)).canonicalFilePath();
            if (strCanonical.isEmpty() || seen.contains(strCanonical))
                continue; // reached twice: loaded once
            seen.insert(strCanonical);
            files.append(strCanonical);
        }
    }
    return files;
}

QStringList AllProducerFiles()
{
    QStringList files = ScanProducerFiles(ProducerFolder());
    files += GenTLPathProducers(files);
    return files;
}

QList<DeviceInfo> EnumerateDevices(CCamInterface* pInterface, const QStringList& producerFiles)
{
    QList<DeviceInfo> devices;
    if (!pInterface)
        return devices;
    QHash<QString, QString> listedThrough; // device key -> the producer that listed it first
    for (const QString& strFile : producerFiles) {
        DeviceInfoList list{};
        if (pInterface->EnumDevices(&list, strFile.toLocal8Bit().constData()) != 0)
            continue;
        for (quint32 i = 0; i < list.nCount && i < quint32(NXA_MAX_DEVICES); ++i) {
            DeviceInfo record = *list.pItems[i]; // the library's records change with its next call
            // The same camera through a second producer (a vendor's and ours) is listed once.
            const QString strKey = NXInterface::uchar2QStringLocale(record.szKey, -1)
                                   + QStringLiteral("_%1").arg(record.nKeyNumber);
            if (listedThrough.contains(strKey)) {
                qInfo("Device %s through %s skipped: already listed through %s", qUtf8Printable(strKey),
                      qUtf8Printable(strFile), qUtf8Printable(listedThrough.value(strKey)));
                continue;
            }
            listedThrough.insert(strKey, strFile);
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
