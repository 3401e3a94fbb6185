#pragma once

#include "genapinodemap.h"
#include "gentlproducer.h"
#include "nxainterface.h"

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QSet>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

// One open device: its GenTL handles, its description, its node map and its event thread.
// Feature calls may come from several threads at once (the worker, the event callback): one lock per
// device is held across each call, because the engine keeps selector state and is not thread-safe.
class CamDevice
{
public:
    static int32_t open(const std::shared_ptr<GenTLProducer>& producer, const GenTLProducer::Device& device,
                        int32_t accessFlags, std::unique_ptr<CamDevice>& out);
    ~CamDevice();

    const QByteArray& description() const { return m_description; }
    const QByteArray& translation() const { return m_translation; }

    int32_t getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent, std::vector<int64_t>& values);
    int32_t setEnum(const char* szName, int64_t nValue);
    int32_t getInt(const char* szName, bool bCheckAvailable, int64_t& nValue);
    int32_t enumEntries(const char* szName, std::vector<GenApiNodeMap::EntryInfo>& entries);
    int32_t categoryOf(const char* szFeature, GenApiNodeMap::NodeInfo& category);

    // Replaces the event callback; the previous one has stopped running when this returns.
    int32_t setEventCallback(NXAEventCallback pCallback, void* pUser);
    bool isEventThread() const;
    NXADeviceStatus status() const;

private:
    CamDevice(std::shared_ptr<GenTLProducer> producer, DEV_HANDLE hDevice, PORT_HANDLE hPort);
    int32_t fetchDocument(uint32_t nIndex, QByteArray& text);
    int32_t readPort(uint64_t nAddress, void* pBuffer, size_t nSize);
    int32_t writePort(uint64_t nAddress, const void* pBuffer, size_t nSize);
    int32_t notePortResult(int32_t rc);
    class Operation;
    void stopEvents();
    void runEvents(NXAEventCallback pCallback, void* pUser);
    void updateEventCounts();
    bool decodeEvent(const char* pRaw, size_t nRaw, EventRecord& record);

    std::shared_ptr<GenTLProducer> m_producer;
    DEV_HANDLE m_hDevice = nullptr;
    PORT_HANDLE m_hPort = nullptr;
    QByteArray m_description, m_translation;
    QHash<quint16, QByteArray> m_eventNames;
    QSet<QByteArray> m_constants;           // registers read once
    QHash<QByteArray, int64_t> m_constantValues;
    std::mutex m_lock;
    // Within one feature operation a register reads the same each time (writes clear this): a description
    // that marks its selectors NoCache has them read once per operation, not once per formula.
    bool m_bInOperation = false;
    QHash<QPair<quint64, quint64>, QByteArray> m_operationReads;
    GenApiNodeMap m_nodeMap;
    EVENT_HANDLE m_hEvent = nullptr;
    std::thread m_eventThread;
    std::atomic<bool> m_bStopEvents{false};
    std::atomic<int32_t> m_nEventEnd{0};
    std::atomic<int32_t> m_nPortError{0};
    std::atomic<int32_t> m_nEventsRefused{0};
    std::atomic<uint64_t> m_nReceiveBuffer{0};
    std::atomic<uint64_t> m_nLost{0}, m_nMalformed{0}, m_nDropped{0}, m_nRestarts{0}, m_nOverflow{0};
    QByteArray m_id;
    QByteArray m_eventValue = QByteArray(1024, '\0'); // the event thread's buffer for event values
};
