#include "clisession.h"

#include "devicediscovery.h"
#include "nxinterface.h"
#include "rweventfeaturethread.h"

#include <QEventLoop>

CliSession::CliSession()
    : m_pWorker(new RWEventFeatureThread(nullptr))
{
    CInterface* p = nullptr;
    if (NXACreateInstance(NXA_CAMERA_INTERFACE, &p) == 0) {
        m_pEnumerator = dynamic_cast<CCamInterface*>(p);
        if (!m_pEnumerator)
            NXAReleaseInstance(p);
    }
}

CliSession::~CliSession()
{
    m_pWorker.reset(); // closes the devices while the enumerating instance still holds the producers
    if (m_pEnumerator)
        NXAReleaseInstance(m_pEnumerator);
}

const QList<DeviceInfo>& CliSession::Devices()
{
    if (m_bEnumerated || !m_pEnumerator)
        return m_devices;
    m_bEnumerated = true;
    m_devices = DeviceDiscovery::EnumerateDevices(m_pEnumerator, DeviceDiscovery::AllProducerFiles());
    return m_devices;
}

QString CliSession::Label(const DeviceInfo& record)
{
    return DeviceDiscovery::DeviceLabel(record);
}

QString CliSession::Key(const DeviceInfo& record)
{
    return NXInterface::uchar2QStringLocale(record.szKey, -1) + QStringLiteral("_%1").arg(record.nKeyNumber);
}

int CliSession::FindDevice(const QString& strWhich)
{
    const QList<DeviceInfo>& devices = Devices();
    if (devices.isEmpty())
        return -1;
    if (strWhich.isEmpty())
        return 0;
    bool bNumber = false;
    const int nNumber = strWhich.toInt(&bNumber);
    for (int i = 0; bNumber && i < devices.size(); ++i)
        if (int(devices.at(i).nDeviceNumber) == nNumber)
            return i;
    // Numbers move when a camera comes or goes; a key or a serial number stays with its camera.
    for (int i = 0; i < devices.size(); ++i)
        if (Label(devices.at(i)) == strWhich || Key(devices.at(i)) == strWhich)
            return i;
    int nFound = -1;
    for (int i = 0; i < devices.size(); ++i) {
        if (QString::fromLatin1(devices.at(i).szLabelDetail) != strWhich)
            continue;
        if (nFound >= 0)
            return Ambiguous;
        nFound = i;
    }
    return nFound;
}

bool CliSession::RunJob(int nIndex, bool bRead, bool* pOpened)
{
    if (nIndex < 0 || nIndex >= m_devices.size())
        return false;
    QEventLoop loop;
    bool bOpened = false;
    const QMetaObject::Connection connection = QObject::connect(
        m_pWorker.get(), &RWEventFeatureThread::SigFinishRW, &loop,
        [&](int, bool, bool bCreated) {
            bOpened = bCreated;
            loop.quit();
        },
        Qt::QueuedConnection);
    m_pWorker->StartRW(&m_devices.at(nIndex), bRead);
    loop.exec();
    QObject::disconnect(connection);
    m_pWorker->wait();
    if (pOpened)
        *pOpened = bOpened;
    return true;
}

bool CliSession::Read(int nIndex)
{
    bool bOpened = false;
    return RunJob(nIndex, true, &bOpened) && Interface(nIndex);
}

bool CliSession::Write(int nIndex)
{
    return Interface(nIndex) && RunJob(nIndex, false, nullptr);
}

QList<Saltire::EventTypeItem*>& CliSession::Model(int nIndex)
{
    return *m_pWorker->GetEventTypeList(int(m_devices.at(nIndex).nDeviceNumber));
}

CCamInterface* CliSession::Interface(int nIndex)
{
    // The worker answers for the device of its last job, which is the one this session works on.
    if (nIndex < 0 || nIndex >= m_devices.size())
        return nullptr;
    return m_pWorker->GetInterface();
}
