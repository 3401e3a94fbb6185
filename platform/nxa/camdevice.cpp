#include "camdevice.h"

#include "constantregisters.h"
#include "eventnamemap.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>
#include <QXmlStreamReader>

#include <cstring>

namespace {

constexpr size_t kPortChunk = 0x10000;
constexpr uint64_t kEventWaitMs = 100;
constexpr size_t kGigEEventHeader = 16;
constexpr size_t kMaxEventValue = 64 * 1024; // larger event data is not believed
constexpr int kCountCheckMs = 250;
constexpr int kOddResultsToEnd = 100; // other failures in a row before the thread gives up

uint32_t bigEndian(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

// The engine recovers from broken XML and builds a partial node map; such a description is refused.
bool isWellFormed(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

} // namespace

CamDevice::CamDevice(std::shared_ptr<GenTLProducer> producer, DEV_HANDLE hDevice, PORT_HANDLE hPort)
    : m_producer(std::move(producer))
    , m_hDevice(hDevice)
    , m_hPort(hPort)
    , m_nodeMap([this](uint64_t a, void* b, size_t n) { return readPort(a, b, n); },
                [this](uint64_t a, const void* b, size_t n) { return writePort(a, b, n); })
{
}

int32_t CamDevice::open(const std::shared_ptr<GenTLProducer>& producer, const GenTLProducer::Device& device,
                        int32_t accessFlags, std::unique_ptr<CamDevice>& out)
{
    DEV_HANDLE hDevice = nullptr;
    int32_t rc = producer->openDevice(device.ifId, device.id, accessFlags, hDevice);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    PORT_HANDLE hPort = nullptr;
    rc = producer->fn().DevGetPort(hDevice, &hPort);
    if (rc != GC_ERR_SUCCESS) {
        producer->closeDevice(hDevice);
        return rc;
    }
    std::unique_ptr<CamDevice> dev(new CamDevice(producer, hDevice, hPort));
    dev->m_id = device.id;
    rc = dev->fetchDocument(0, dev->m_description);
    if (rc != GC_ERR_SUCCESS)
        qWarning("The description of %s cannot be read: %d", device.id.constData(), rc);
    else if (!isWellFormed(dev->m_description))
        qWarning("The description of %s is not a usable GenICam description", device.id.constData());
    else if (!dev->m_nodeMap.load(dev->m_description.toStdString())) {
        const std::string strEngineError = GenApiNodeMap::engineError();
        if (!strEngineError.empty())
            qWarning("The description of %s cannot be read: the GenICam engine cannot be loaded (%s)",
                     device.id.constData(), strEngineError.c_str());
        else
            qWarning("The description of %s is not a usable GenICam description", device.id.constData());
    }
    uint32_t nUrls = 0;
    if (producer->fn().GCGetNumPortURLs(hPort, &nUrls) == GC_ERR_SUCCESS && nUrls > 1)
        dev->fetchDocument(1, dev->m_translation);
    dev->m_eventNames = readEventNames(dev->m_description);
    if (dev->m_nodeMap.isLoaded())
        dev->m_constants = readConstantRegisters(dev->m_description);
    out = std::move(dev);
    return GC_ERR_SUCCESS;
}

CamDevice::~CamDevice()
{
    stopEvents();
    m_producer->closeDevice(m_hDevice);
}

// One feature operation, with the device lock held: reads within it are served once.
class CamDevice::Operation
{
public:
    explicit Operation(CamDevice* p) : m_p(p) { m_p->m_bInOperation = true; }
    ~Operation()
    {
        m_p->m_bInOperation = false;
        m_p->m_operationReads.clear();
    }

private:
    CamDevice* m_p;
};

int32_t CamDevice::readPort(uint64_t nAddress, void* pBuffer, size_t nSize)
{
    const QPair<quint64, quint64> key(nAddress, nSize);
    if (m_bInOperation) {
        auto it = m_operationReads.constFind(key);
        if (it != m_operationReads.constEnd()) {
            std::memcpy(pBuffer, it->constData(), nSize);
            return GC_ERR_SUCCESS;
        }
    }
    size_t size = nSize;
    const int32_t rc = notePortResult(m_producer->fn().GCReadPort(m_hPort, nAddress, pBuffer, &size));
    if (rc == GC_ERR_SUCCESS && m_bInOperation && nSize <= 64)
        m_operationReads.insert(key, QByteArray(static_cast<const char*>(pBuffer), int(nSize)));
    return rc;
}

int32_t CamDevice::writePort(uint64_t nAddress, const void* pBuffer, size_t nSize)
{
    m_operationReads.clear(); // a write may change what any register reads
    size_t size = nSize;
    return notePortResult(m_producer->fn().GCWritePort(m_hPort, nAddress, pBuffer, &size));
}

// A device that stops answering is remembered once: later callers can tell a partial read from a full one.
int32_t CamDevice::notePortResult(int32_t rc)
{
    if (rc == GC_ERR_TIMEOUT || rc == GC_ERR_IO) {
        int32_t none = 0;
        if (m_nPortError.compare_exchange_strong(none, rc))
            qWarning("Device %s stopped answering (%d)", m_id.constData(), rc);
    }
    return rc;
}

// URL forms: "Local:<name>;<hex address>;<hex length>" (a .zip name holds the file zipped),
// "File:<path or file URL>"; either may end in "?SchemaVersion=...".
int32_t CamDevice::fetchDocument(uint32_t nIndex, QByteArray& text)
{
    size_t size = 0;
    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
    int32_t rc = m_producer->fn().GCGetPortURLInfo(m_hPort, nIndex, URL_INFO_URL, &type, nullptr, &size);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    QByteArray urlBytes(int(size), '\0');
    rc = m_producer->fn().GCGetPortURLInfo(m_hPort, nIndex, URL_INFO_URL, &type, urlBytes.data(), &size);
    if (rc != GC_ERR_SUCCESS)
        return rc;
    QString url = QString::fromUtf8(urlBytes.constData());
    if (const int q = url.indexOf(QLatin1Char('?')); q >= 0)
        url.truncate(q);

    QString fileName;
    QByteArray raw;
    if (url.startsWith(QLatin1String("local:"), Qt::CaseInsensitive)) {
        QString rest = url.mid(6);
        while (rest.startsWith(QLatin1Char('/')))
            rest.remove(0, 1);
        const QStringList parts = rest.split(QLatin1Char(';'));
        bool bAddr = false, bLen = false;
        const quint64 address = parts.value(1).toULongLong(&bAddr, 16);
        const quint64 length = parts.value(2).toULongLong(&bLen, 16);
        if (parts.size() != 3 || !bAddr || !bLen || length > 0x40000000ULL)
            return GC_ERR_INVALID_PARAMETER;
        fileName = parts.at(0);
        raw.resize(int(length));
        for (quint64 done = 0; done < length;) {
            const size_t n = size_t(qMin<quint64>(kPortChunk, length - done));
            std::lock_guard<std::mutex> lock(m_lock);
            rc = readPort(address + done, raw.data() + done, n);
            if (rc != GC_ERR_SUCCESS)
                return rc;
            done += n;
        }
    } else if (url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        QString path = QUrl(url).toLocalFile();
        if (path.isEmpty())
            path = url.mid(5);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return GC_ERR_NOT_AVAILABLE;
        raw = file.readAll();
        fileName = path;
    } else {
        // Cameras may name a web address (http:); this tool reads only what the camera or this machine holds.
        qWarning("The description is at %s: only Local: (device memory) and File: locations can be read",
                 qUtf8Printable(url));
        return GC_ERR_NOT_IMPLEMENTED;
    }
    if (fileName.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive)) {
        std::string unzipped;
        if (!GenApiNodeMap::unzipFirst(raw.toStdString(), unzipped))
            return GC_ERR_INVALID_BUFFER;
        text = QByteArray(unzipped.data(), int(unzipped.size()));
    } else {
        text = raw;
    }
    return GC_ERR_SUCCESS;
}

int32_t CamDevice::getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent, std::vector<int64_t>& values)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Operation operation(this);
    return m_nodeMap.getEnum(szName, bAvailableOnly, nCurrent, values);
}

int32_t CamDevice::setEnum(const char* szName, int64_t nValue)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Operation operation(this);
    return m_nodeMap.setEnum(szName, nValue);
}

int32_t CamDevice::getInt(const char* szName, bool bCheckAvailable, int64_t& nValue)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const QByteArray name(szName ? szName : "");
    const bool bConstant = m_constants.contains(name);
    if (bConstant) {
        auto it = m_constantValues.constFind(name);
        if (it != m_constantValues.constEnd()) {
            nValue = it.value();
            return GC_ERR_SUCCESS;
        }
    }
    Operation operation(this);
    const int32_t rc = m_nodeMap.getInt(szName, bCheckAvailable, nValue);
    if (rc == GC_ERR_SUCCESS && bConstant)
        m_constantValues.insert(name, nValue);
    return rc;
}

int32_t CamDevice::enumEntries(const char* szName, std::vector<GenApiNodeMap::EntryInfo>& entries)
{
    std::lock_guard<std::mutex> lock(m_lock);
    Operation operation(this);
    return m_nodeMap.enumEntries(szName, entries);
}

int32_t CamDevice::categoryOf(const char* szFeature, GenApiNodeMap::NodeInfo& category)
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_nodeMap.categoryOf(szFeature, category);
}

bool CamDevice::isEventThread() const
{
    return m_eventThread.joinable() && m_eventThread.get_id() == std::this_thread::get_id();
}

int32_t CamDevice::setEventCallback(NXAEventCallback pCallback, void* pUser)
{
    if (isEventThread())
        return GC_ERR_BUSY; // a callback cannot wait for itself
    stopEvents();
    m_nEventsRefused = 0;
    if (!pCallback)
        return GC_ERR_SUCCESS;
    const int32_t rc = m_producer->fn().GCRegisterEvent(m_hDevice, EVENT_REMOTE_DEVICE, &m_hEvent);
    if (rc != GC_ERR_SUCCESS) {
        m_hEvent = nullptr;
        m_nEventsRefused = rc;
        qWarning("Device %s cannot send events: its producer refused them (%d)", m_id.constData(), rc);
        return rc;
    }
    // Fixed once the events are registered: the socket they arrive on, where our producer has one.
    uint64_t nBuffer = 0;
    size_t size = sizeof nBuffer;
    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
    if (m_producer->isOwnProducer() && m_producer->fn().EventGetInfo
        && m_producer->fn().EventGetInfo(m_hEvent, EVENT_DOVI_RECEIVE_BUFFER, &type, &nBuffer, &size) == GC_ERR_SUCCESS)
        m_nReceiveBuffer = nBuffer;
    m_bStopEvents = false;
    m_nEventEnd = 0;
    m_eventThread = std::thread(&CamDevice::runEvents, this, pCallback, pUser);
    return GC_ERR_SUCCESS;
}

void CamDevice::stopEvents()
{
    if (!m_hEvent)
        return;
    m_bStopEvents = true;
    m_producer->fn().EventKill(m_hEvent);
    if (m_eventThread.joinable())
        m_eventThread.join();
    updateEventCounts(); // the counts up to the end, not up to the last periodic look
    m_producer->fn().GCUnregisterEvent(m_hDevice, EVENT_REMOTE_DEVICE);
    m_hEvent = nullptr;
}

// The event's id and its data (the GigE Vision header, then any payload) as the producer's event data
// commands give them; the GigE Vision layout of the raw record only when the producer does not answer them.
bool CamDevice::decodeEvent(const char* pRaw, size_t nRaw, EventRecord& record)
{
    const PEventGetDataInfo info = m_producer->fn().EventGetDataInfo;
    // One call into the event thread's own buffer; a second only for a value larger than it.
    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
    size_t nValue = size_t(m_eventValue.size());
    GC_ERROR rc = info(m_hEvent, pRaw, nRaw, EVENT_DATA_VALUE, &type, m_eventValue.data(), &nValue);
    if (rc == GC_ERR_BUFFER_TOO_SMALL && nValue <= kMaxEventValue) {
        m_eventValue.resize(int(nValue));
        rc = info(m_hEvent, pRaw, nRaw, EVENT_DATA_VALUE, &type, m_eventValue.data(), &nValue);
    }
    const char* pValue = m_eventValue.constData();
    if (rc != GC_ERR_SUCCESS || nValue < kGigEEventHeader || nValue > size_t(m_eventValue.size())) {
        pValue = pRaw; // the GigE Vision layout of the raw record
        nValue = nRaw;
    }
    // The id as the producer answers it; the record's own bytes only when it does not.
    uint64_t id = 0;
    size_t idSize = sizeof id;
    bool bId = info(m_hEvent, pRaw, nRaw, EVENT_DATA_NUMID, &type, &id, &idSize) == GC_ERR_SUCCESS;
    if (!bId) {
        char text[32] = {};
        size_t textSize = sizeof text;
        if (info(m_hEvent, pRaw, nRaw, EVENT_DATA_ID, &type, text, &textSize) == GC_ERR_SUCCESS) {
            text[sizeof text - 1] = '\0';
            id = QByteArray(text).trimmed().toULongLong(&bId, 16);
        }
    }
    std::memset(&record, 0, sizeof record);
    if (nValue < kGigEEventHeader) {
        if (!bId)
            return false; // neither a record nor an id: nothing to tell
        record.nEventId = uint16_t(id); // no time stamp, no data: the id alone is still the event
        return true;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(pValue);
    record.nEventId = uint16_t(bId ? id : bigEndian(p + 2, 2));
    record.nStreamChannel = uint16_t(bigEndian(p + 4, 2));
    record.nBlockId = uint16_t(bigEndian(p + 6, 2));
    record.nTimestampHigh = bigEndian(p + 8, 4);
    record.nTimestampLow = bigEndian(p + 12, 4);
    const size_t dataSize = qMin(nValue - kGigEEventHeader, sizeof record.data);
    record.nDataSize = uint32_t(dataSize);
    std::memcpy(record.data, p + kGigEEventHeader, dataSize);
    return true;
}

NXADeviceStatus CamDevice::status() const
{
    NXADeviceStatus status{};
    status.nPortError = m_nPortError;
    status.nEventEndCode = m_nEventEnd;
    status.nLost = m_nLost;
    status.nMalformed = m_nMalformed;
    status.nDropped = m_nDropped;
    status.nEventsRefused = m_nEventsRefused;
    status.nReceiveBuffer = m_nReceiveBuffer;
    status.nOverflow = m_nOverflow;
    return status;
}

// Lost and malformed counts are the producer's own (custom event info); a producer without them answers
// an error and the counts stay 0.
void CamDevice::updateEventCounts()
{
    auto count = [&](EVENT_INFO_CMD cmd, std::atomic<uint64_t>& target, const char* what) {
        uint64_t value = 0;
        size_t size = sizeof value;
        INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
        if (!m_producer->isOwnProducer() || !m_producer->fn().EventGetInfo
            || m_producer->fn().EventGetInfo(m_hEvent, cmd, &type, &value, &size) != GC_ERR_SUCCESS
            || type != INFO_DATATYPE_UINT64)
            return;
        const uint64_t before = target.exchange(value);
        if (value > before)
            qWarning("Device %s: %llu %s (%llu in all)", m_id.constData(), (unsigned long long)(value - before), what,
                     (unsigned long long)value);
    };
    count(EVENT_DOVI_NUM_LOST, m_nLost, "event packets lost on the way");
    count(EVENT_DOVI_NUM_MALFORMED, m_nMalformed, "malformed event packets dropped");
    count(EVENT_DOVI_NUM_RESTARTS, m_nRestarts, "restarts of the camera's event packet count (far jumps of its request ids)");
    count(EVENT_DOVI_NUM_OVERFLOW, m_nOverflow, "events dropped by the producer, whose queue was full");
}

void CamDevice::runEvents(NXAEventCallback pCallback, void* pUser)
{
    QByteArray buffer(1024, '\0');
    QElapsedTimer sinceCount;
    sinceCount.start();
    int nOddInRow = 0;
    while (!m_bStopEvents) {
        if (sinceCount.elapsed() >= kCountCheckMs) {
            updateEventCounts();
            sinceCount.restart();
        }
        size_t size = size_t(buffer.size());
        const int32_t rc = m_producer->fn().EventGetData(m_hEvent, buffer.data(), &size, kEventWaitMs);
        if (rc == GC_ERR_BUFFER_TOO_SMALL && size > size_t(buffer.size())) {
            if (size > kMaxEventValue) {
                // An absurd size: take the event with what fits and count it dropped. A producer that keeps
                // it (as GenTL allows) would offer it again for ever: the events end there, said in words.
                ++m_nDropped;
                size_t dropSize = size_t(buffer.size());
                if (m_producer->fn().EventGetData(m_hEvent, buffer.data(), &dropSize, 0) == GC_ERR_BUFFER_TOO_SMALL) {
                    updateEventCounts();
                    m_nEventEnd = GC_ERR_BUFFER_TOO_SMALL;
                    qWarning("Device %s: its producer holds an event of %zu bytes, more than can be taken: events "
                             "stopped", m_id.constData(), size);
                    return;
                }
                continue;
            }
            buffer.resize(int(size));
            continue;
        }
        const bool bEnded = rc == GC_ERR_IO || rc == GC_ERR_INVALID_HANDLE || rc == GC_ERR_NOT_INITIALIZED;
        const bool bOdd = rc != GC_ERR_SUCCESS && rc != GC_ERR_TIMEOUT && rc != GC_ERR_ABORT
                          && rc != GC_ERR_BUFFER_TOO_SMALL;
        nOddInRow = bOdd ? nOddInRow + 1 : 0;
        if (bEnded || nOddInRow >= kOddResultsToEnd) {
            // The producer ended the events (a camera that went away): no busy loop on a dead queue.
            updateEventCounts();
            m_nEventEnd = rc;
            qWarning("Device %s: events stopped by the producer (%d)", m_id.constData(), rc);
            return;
        }
        if (rc != GC_ERR_SUCCESS)
            continue; // timeout or abort
        EventRecord record;
        if (!decodeEvent(buffer.constData(), size, record)) {
            ++m_nDropped; // shorter than an event header: never read past its end
            continue;
        }
        QByteArray name = m_eventNames.value(record.nEventId);
        if (name.isEmpty())
            name = "0x" + QByteArray::number(record.nEventId, 16);
        std::strncpy(record.szEventName, name.constData(), sizeof record.szEventName - 1);
        pCallback(&record, pUser);
    }
}
