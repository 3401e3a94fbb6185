#include "rweventfeaturethread.h"

#include "channelitem.h"
#include "descriptionparser.h"
#include "deviceproblems.h"
#include "deviceeventsink.h"
#include "displaytext.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "gentl.h"
#include "iotypeitem.h"
#include "notificationreadfailures.h"
#include "userlevelfilter.h"

#include <QFontMetrics>

#include <cstring>

using namespace Saltire;

namespace {

const QString kCategory = QStringLiteral("EventCategory");
const QString kIOType = QStringLiteral("EventIOType");
const QString kChannel = QStringLiteral("ChannelSelector");
const QString kEvent = QStringLiteral("EventSelector");

// "0x" and the result as a signed 32-bit value widened to 64 bits, in lower-case hexadecimal.
QString WideHex(int nResult)
{
    return QString::number(quint64(qint64(nResult)), 16);
}

const EnumEntryDesc* FindEntry(const FeatureDescMap& descs, const QString& strFeature, quint32 nValue)
{
    auto it = descs.constFind(strFeature);
    if (it == descs.constEnd())
        return nullptr;
    for (const EnumEntryDesc& e : it->listEntry)
        if (e.nValue == qint32(nValue))
            return &e;
    return nullptr;
}

int LevelOf(const EnumEntryDesc& e)
{
    return e.strVisibility == QLatin1String("Guru") ? 1 : 0;
}

} // namespace

RWEventFeatureThread::RWEventFeatureThread(QObject* parent)
    : QThread(parent)
{
    std::memset(&m_devInfo, 0, sizeof m_devInfo);
}

RWEventFeatureThread::~RWEventFeatureThread()
{
    wait(); // a running job uses the maps and the devices
    for (auto it = m_mapInterfaces.cbegin(); it != m_mapInterfaces.cend(); ++it) {
        it.value()->CloseDevice(m_mapHandles.value(it.key()));
        NXAReleaseInstance(it.value());
    }
    m_mapInterfaces.clear();
    m_mapHandles.clear();
    for (const QList<EventTypeItem*>& list : qAsConst(m_mapEventTypes))
        qDeleteAll(list);
    m_mapEventTypes.clear();
}

void RWEventFeatureThread::StartRW(const DeviceInfo* pDevInfo, bool bRead)
{
    if (!pDevInfo)
        return;
    if (isRunning()) {
        if (!m_bJobEnded)
            return; // the request is dropped
        wait(); // the job has reported back and is only leaving run()
    }
    m_bRead = bRead;
    std::memcpy(&m_devInfo, pDevInfo, sizeof m_devInfo);
    m_bJobEnded = false;
    start(QThread::InheritPriority);
}

CCamInterface* RWEventFeatureThread::GetInterface()
{
    return m_mapInterfaces.value(int(m_devInfo.nDeviceNumber), nullptr);
}

QList<EventTypeItem*>* RWEventFeatureThread::GetEventTypeList(int nID)
{
    static QList<EventTypeItem*> s_empty;
    auto it = m_mapEventTypes.find(nID);
    return it == m_mapEventTypes.end() ? &s_empty : &it.value();
}

void RWEventFeatureThread::run()
{
    bool bCreatInterfaceSuc = false;
    const int nID = int(m_devInfo.nDeviceNumber);
    if (m_bRead) {
        if (!m_mapInterfaces.contains(nID)) {
            bCreatInterfaceSuc = ReadDevice(nID);
            if (bCreatInterfaceSuc)
                NoteReadProblem(nID);
        }
    } else if (m_mapInterfaces.contains(nID)) {
        WriteDevice(nID);
    }
    m_bJobEnded = true;
    emit SigFinishRW(nID, m_bRead, bCreatInterfaceSuc);
}

void RWEventFeatureThread::OnDeviceEvent(EventRecord* pRecord, void* pUser)
{
    // To the event monitor of the instance; without one the event is dropped. Never creates a monitor.
    if (pUser)
        DeviceEventRegistry::Dispatch(quint64(quintptr(pUser)), pRecord);
}

void RWEventFeatureThread::ReadXml(FeatureDescMap& out)
{
    CCamInterface* pInterface = m_mapInterfaces.value(int(m_devInfo.nDeviceNumber), nullptr);
    QByteArray description, translation;
    if (!FetchDescriptionTexts(pInterface, description, translation))
        return;
    ParseFeatureDescriptions(description, translation, out);
}

// A device that stopped answering while it was read, or that gave no events: the page and the command
// line say why.
void RWEventFeatureThread::NoteReadProblem(int nID)
{
    NXADeviceStatus status{};
    CCamInterface* pInterface = m_mapInterfaces.value(nID, nullptr);
    if (pInterface && NXAGetDeviceStatus(pInterface, &status) == 0 && status.nPortError != 0)
        DeviceProblems::Set(nID, DeviceProblems::Lost, status.nPortError);
    else if (m_mapEventTypes.value(nID).isEmpty() && DeviceProblems::Get(nID).kind == DeviceProblems::None)
        DeviceProblems::Set(nID, DeviceProblems::NoEvents, 0);
}

bool RWEventFeatureThread::ReadDevice(int nID)
{
    NotificationReadFailures::Clear(nID);
    DeviceProblems::Clear(nID);
    CInterface* pBase = nullptr;
    if (NXACreateInstance(NXA_CAMERA_INTERFACE, &pBase) != 0)
        return false;
    auto* pInterface = dynamic_cast<CCamInterface*>(pBase);
    if (!pInterface) {
        NXAReleaseInstance(pBase);
        return false;
    }
    void* pHandle = nullptr;
    const int nOpen = pInterface->OpenDevice(&pHandle, &m_devInfo, NXA_ACCESS_EXCLUSIVE);
    if (nOpen != 0) {
        qCritical("%s", qUtf8Printable(QStringLiteral("Failed to open interface : 0x%1").arg(WideHex(nOpen))));
        DeviceProblems::Set(nID, DeviceProblems::OpenFailure(nOpen), nOpen);
        NXAReleaseInstance(pInterface);
        return false;
    }
    m_mapInterfaces.insert(nID, pInterface);
    m_mapHandles.insert(nID, pHandle);
    pInterface->RegisterEventCallback(&RWEventFeatureThread::OnDeviceEvent, pInterface);

    FeatureDescMap descs;
    ReadXml(descs);

    EnumValue categories{};
    const int nResult = pInterface->GetEnumValue(kCategory.toLatin1().constData(), &categories, true);
    int nStandard = GC_ERR_INVALID_ID;
    if (nResult == GC_ERR_INVALID_ID) {
        // No nested enumerations: perhaps EventSelector and EventNotification alone.
        StandardEventLayout layout;
        nStandard = StandardEventModel::Describe(pInterface, layout);
        if (nStandard == 0) {
            m_mapStandard.insert(nID, layout);
            m_mapEventTypes[nID].append(StandardEventModel::Read(pInterface, layout, nID));
            return true;
        }
    }
    if (nResult != 0) {
        qCritical("%s", qUtf8Printable(QStringLiteral("Failed to get  EventCategory : 0x%1").arg(WideHex(nResult))));
        if (nStandard != GC_ERR_INVALID_ID) // the standard features are there, but unreadable
            qCritical("%s", qUtf8Printable(QStringLiteral("Failed to get  EventNotification : 0x%1").arg(WideHex(nStandard))));
        if (nStandard != GC_ERR_INVALID_ID)
            DeviceProblems::Set(nID, DeviceProblems::Refused, nStandard);
        else if (nResult == GC_ERR_NOT_INITIALIZED) // no feature engine: the description was not usable
            DeviceProblems::Set(nID, DeviceProblems::DescriptionUnusable, 0);
        else if (nResult != GC_ERR_INVALID_ID)
            DeviceProblems::Set(nID, DeviceProblems::Refused, nResult);
        return true;
    }
    const EnumValue categoryList = categories;
    for (quint32 i = 0; i < categoryList.nCount; ++i) {
        const quint32 v = categoryList.nSupportValue[i];
        if (pInterface->SetEnumValue("EventCategory", v) != 0)
            continue;
        qDebug("Set EventCategory %u", v);
        const EnumEntryDesc* pEntry = FindEntry(descs, kCategory, v);
        if (!pEntry)
            continue;
        auto* pType = new EventTypeItem;
        pType->strName = pEntry->strName;
        pType->strDisplayName = QString(pEntry->strDisplayName).remove(QStringLiteral("Event"), Qt::CaseSensitive).trimmed();
        pType->nValue = qint64(v);
        pType->nLevel = LevelOf(*pEntry);
        m_mapEventTypes[nID].append(pType);
        qDebug("%s", qUtf8Printable(QStringLiteral("new EventTypeItem %1").arg(pType->strDisplayName)));

        if (!pType->strName.contains(QLatin1String("IOEvent"), Qt::CaseInsensitive)) {
            pType->nState = ReadChannels(pType->listChannel, QStringList(), descs);
            continue;
        }
        EnumValue ioTypes{};
        if (pInterface->GetEnumValue("EventIOType", &ioTypes, true) != 0)
            continue;
        const EnumValue ioList = ioTypes;
        for (quint32 j = 0; j < ioList.nCount; ++j) {
            const quint32 u = ioList.nSupportValue[j];
            if (pInterface->SetEnumValue("EventIOType", u) != 0)
                continue;
            qDebug("Set EventIOType %u", u);
            const EnumEntryDesc* pIOEntry = FindEntry(descs, kIOType, u);
            if (!pIOEntry)
                continue;
            QStringList prefix{pIOEntry->strDisplayNameCn, pIOEntry->strDisplayName, pIOEntry->strName};
            if (pIOEntry->strName == QLatin1String("D485"))
                prefix << QStringLiteral("485");
            auto* pIO = new IOTypeItem;
            pIO->strName = pIOEntry->strName;
            pIO->strDisplayName = pIOEntry->strDisplayName;
            pIO->nValue = qint64(u);
            pIO->nLevel = LevelOf(*pIOEntry);
            pIO->nState = ReadChannels(pIO->listChannel, prefix, descs);
            pType->listIOType.append(pIO);
            qDebug("%s", qUtf8Printable(QStringLiteral("new IOTypeItem %1").arg(pIO->strDisplayName)));
        }
    }
    return true;
}

int RWEventFeatureThread::ReadChannels(QList<ChannelItem*>& target, const QStringList& prefixWords,
                                       const FeatureDescMap& descs)
{
    CCamInterface* pInterface = m_mapInterfaces.value(int(m_devInfo.nDeviceNumber));
    EnumValue channels{};
    if (pInterface->GetEnumValue("ChannelSelector", &channels, true) != 0)
        return 0;
    const EnumValue channelList = channels;
    int nSum = 0, nCounted = 0;
    const QFontMetrics metrics(MeasureFont());
    for (quint32 i = 0; i < channelList.nCount; ++i) {
        const quint32 c = channelList.nSupportValue[i];
        if (pInterface->SetEnumValue("ChannelSelector", c) != 0)
            continue;
        qDebug("Set ChannelSelector %u", c);
        const QStringList words = prefixWords + QStringList{QStringLiteral("_%1").arg(c), QString::number(c)};
        const EnumEntryDesc* pEntry = FindEntry(descs, kChannel, c);
        if (!pEntry)
            continue;
        auto* pChannel = new ChannelItem; // nState 2
        pChannel->strName = pEntry->strName;
        pChannel->strDisplayName = pEntry->strDisplayName;
        pChannel->nValue = qint64(c);
        pChannel->nLevel = LevelOf(*pEntry);
        target.append(pChannel);
        qDebug("%s", qUtf8Printable(QStringLiteral("new ChannelItem %1").arg(pChannel->strDisplayName)));

        EnumValue events{};
        if (pInterface->GetEnumValue("EventSelector", &events, true) != 0)
            continue; // keeps 2, not counted
        const EnumValue eventList = events;
        int nOn = 0;
        for (quint32 j = 0; j < eventList.nCount; ++j) {
            const quint32 e = eventList.nSupportValue[j];
            if (pInterface->SetEnumValue("EventSelector", e) != 0)
                continue;
            qDebug("Set EventSelector %u", e);
            const EnumEntryDesc* pEventEntry = FindEntry(descs, kEvent, e);
            if (!pEventEntry)
                continue;
            auto* pEvent = new EventItem;
            pEvent->strName = pEventEntry->strName;
            pEvent->strDisplayNameEn = ShortenDisplayName(pEventEntry->strDisplayName, words);
            pEvent->strDisplayNameCn = pEventEntry->strDisplayNameCn.isEmpty()
                                           ? pEvent->strDisplayNameEn
                                           : ShortenDisplayName(pEventEntry->strDisplayNameCn, words);
            pEvent->nWidthEn = metrics.horizontalAdvance(pEvent->strDisplayNameEn);
            pEvent->nWidthCn = metrics.horizontalAdvance(pEvent->strDisplayNameCn);
            pEvent->nValue = qint64(e);
            pEvent->nLevel = LevelOf(*pEventEntry);
            pChannel->listEvent.append(pEvent);
            qDebug("%s", qUtf8Printable(QStringLiteral("new EventItem %1 %2")
                                            .arg(pEvent->strDisplayNameEn, pEvent->strDisplayNameCn)));
            EnumValue notification{};
            if (pInterface->GetEnumValue("EventNotification", &notification, true) == 0) {
                const bool bOn = notification.nCurValue != 0;
                pEvent->nState = bOn ? 2 : 0;
                pEvent->bDeviceState = bOn;
                if (bOn)
                    ++nOn;
            } else {
                NotificationReadFailures::Add(int(m_devInfo.nDeviceNumber), pEvent->strName);
            }
        }
        if (nOn == 0)
            pChannel->nState = 0;
        else if (nOn == pChannel->listEvent.size())
            pChannel->nState = 2;
        else
            pChannel->nState = 1;
        ++nCounted;
        nSum += pChannel->nState;
    }
    return AggregateState(nSum, nCounted);
}

namespace {

// Every event of the channels gets the device's answer of this apply (0: none refused yet).
void MarkWriteResult(const QList<ChannelItem*>& channels, int nResult)
{
    for (ChannelItem* pChannel : channels)
        for (EventItem* pEvent : qAsConst(pChannel->listEvent))
            pEvent->nWriteError = nResult;
}

} // namespace

void RWEventFeatureThread::WriteDevice(int nID)
{
    CCamInterface* pInterface = m_mapInterfaces.value(nID);
    const QList<EventTypeItem*> types = m_mapEventTypes.value(nID);
    for (EventTypeItem* pType : types) {
        MarkWriteResult(pType->listChannel, 0);
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            MarkWriteResult(pIO->listChannel, 0);
    }
    if (m_mapStandard.contains(nID)) {
        StandardEventModel::Write(pInterface, m_mapStandard.value(nID), types);
        return;
    }
    for (EventTypeItem* pType : types) {
        if (!pType->bShow)
            continue;
        const int nResult = pInterface->SetEnumValue("EventCategory", quint32(pType->nValue));
        pType->strErrorMsg = ErrorText(nResult);
        if (nResult != 0) {
            MarkWriteResult(pType->listChannel, nResult);
            for (IOTypeItem* pIO : qAsConst(pType->listIOType))
                MarkWriteResult(pIO->listChannel, nResult);
            continue;
        }
        if (pType->listIOType.isEmpty()) {
            WriteChannels(pType->listChannel, pInterface);
            continue;
        }
        for (IOTypeItem* pIO : qAsConst(pType->listIOType)) {
            if (!pIO->bShow)
                continue;
            const int nIOResult = pInterface->SetEnumValue("EventIOType", quint32(pIO->nValue));
            pIO->strErrorMsg = ErrorText(nIOResult);
            if (nIOResult == 0)
                WriteChannels(pIO->listChannel, pInterface);
            else
                MarkWriteResult(pIO->listChannel, nIOResult);
        }
    }
}

void RWEventFeatureThread::WriteChannels(const QList<ChannelItem*>& channels, CCamInterface* pInterface)
{
    for (ChannelItem* pChannel : channels) {
        if (!pChannel->bShow)
            continue;
        const int nResult = pInterface->SetEnumValue("ChannelSelector", quint32(pChannel->nValue));
        pChannel->strErrorMsg = ErrorText(nResult);
        if (nResult != 0) {
            MarkWriteResult({pChannel}, nResult);
            continue;
        }
        WriteChannelEvents(pInterface, pChannel, NotificationValues());
    }
}
