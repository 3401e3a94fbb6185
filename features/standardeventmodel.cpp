#include "standardeventmodel.h"

#include "channelitem.h"
#include "displaytext.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "gentl.h"
#include "notificationreadfailures.h"
#include "nxainterface.h"
#include "userlevelfilter.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <vector>

namespace Saltire {

namespace StandardEventModel {

const char* const kChannelName = "AllEvents";

namespace {

// Every entry of an enumeration, however many the description has.
int ReadEntries(CCamInterface* pInterface, const char* szFeature, std::vector<NXAEnumEntryInfo>& entries)
{
    entries.resize(64);
    uint32_t nCount = 0;
    int nResult = NXAGetEnumEntries(pInterface, szFeature, entries.data(), uint32_t(entries.size()), &nCount);
    if (nResult == GC_ERR_BUFFER_TOO_SMALL) {
        entries.resize(nCount);
        nResult = NXAGetEnumEntries(pInterface, szFeature, entries.data(), uint32_t(entries.size()), &nCount);
    }
    entries.resize(nResult == 0 ? qMin<size_t>(nCount, entries.size()) : 0);
    return nResult;
}

QString Text(const char* szText)
{
    return QString::fromUtf8(szText);
}

// Guru entries, and entries the description keeps from users, show at level "Guru" only.
int LevelOf(int nVisibility)
{
    return nVisibility == NXA_VISIBILITY_GURU || nVisibility == NXA_VISIBILITY_INVISIBLE ? 1 : 0;
}

} // namespace

QString ChannelDisplayName()
{
    return QCoreApplication::translate("StandardEventModel", "All Events");
}

int Describe(CCamInterface* pInterface, StandardEventLayout& layout)
{
    layout = StandardEventLayout();
    std::vector<NXAEnumEntryInfo> notifications;
    if (const int nResult = ReadEntries(pInterface, "EventNotification", notifications))
        return nResult;
    NXANodeInfo category{};
    const int nCategory = NXAGetFeatureCategory(pInterface, "EventSelector", &category);
    if (nCategory != 0 && nCategory != GC_ERR_NOT_AVAILABLE)
        return nCategory; // no EventSelector
    if (nCategory == 0) {
        layout.strCategory = Text(category.szName);
        layout.strCategoryDisplay = Text(category.szDisplayName);
        layout.nCategoryLevel = LevelOf(category.nVisibility);
    } else {
        layout.strCategory = QStringLiteral("EventControl");
        layout.strCategoryDisplay = QStringLiteral("Event Control");
    }
    // "On" itself, else what older descriptions offer instead (GigEVisionEvent, GenICamEvent, ...WithData):
    // the first such entry the device offers now, or the first at all.
    const NXAEnumEntryInfo* pOther = nullptr;
    for (const NXAEnumEntryInfo& e : notifications) {
        const QByteArray name(e.node.szName);
        if (name == "On") {
            layout.notification.bHasOn = true;
            layout.notification.nOn = e.nValue;
        } else if (name == "Off") {
            layout.notification.bHasOff = true;
            layout.notification.nOff = e.nValue;
        } else if (name != "Once" && (!pOther || (e.bAvailable && !pOther->bAvailable))) {
            pOther = &e;
        }
    }
    if (!layout.notification.bHasOn && pOther) {
        layout.notification.bHasOn = true;
        layout.notification.nOn = pOther->nValue;
    }
    return 0;
}

EventTypeItem* Read(CCamInterface* pInterface, const StandardEventLayout& layout, int nDeviceNumber)
{
    auto* pType = new EventTypeItem;
    pType->strName = layout.strCategory;
    pType->strDisplayName = layout.strCategoryDisplay;
    pType->nLevel = layout.nCategoryLevel;
    qDebug("%s", qUtf8Printable(QStringLiteral("new EventTypeItem %1").arg(pType->strDisplayName)));
    auto* pChannel = new ChannelItem; // nState 2
    pChannel->strName = QLatin1String(kChannelName);
    pChannel->strDisplayName = ChannelDisplayName();
    pType->listChannel.append(pChannel);

    std::vector<NXAEnumEntryInfo> entries;
    if (const int nResult = ReadEntries(pInterface, "EventSelector", entries)) {
        // As a channel whose events cannot be listed: kept without events, not counted.
        qCritical("%s", qUtf8Printable(QStringLiteral("Failed to get  EventSelector : 0x%1")
                                           .arg(quint32(nResult), 0, 16)));
        pType->nState = AggregateState(0, 0);
        return pType;
    }
    const QFontMetrics metrics(MeasureFont());
    int nOn = 0;
    for (const NXAEnumEntryInfo& entry : entries) {
        if (!entry.bImplemented || !entry.bAvailable)
            continue;
        if (entry.nValue < 0 || entry.nValue > qint64(UINT32_MAX)) {
            qWarning("EventSelector entry %s has the value %lld, which cannot be selected", entry.node.szName,
                     (long long)entry.nValue);
            continue;
        }
        const quint32 e = quint32(entry.nValue);
        if (pInterface->SetEnumValue("EventSelector", e) != 0)
            continue;
        qDebug("Set EventSelector %u", e);
        auto* pEvent = new EventItem;
        pEvent->strName = Text(entry.node.szName);
        pEvent->strDisplayNameEn = Text(entry.node.szDisplayName).trimmed();
        pEvent->strDisplayNameCn = pEvent->strDisplayNameEn;
        pEvent->nWidthEn = pEvent->nWidthCn = metrics.horizontalAdvance(pEvent->strDisplayNameEn);
        pEvent->nValue = entry.nValue;
        pEvent->nLevel = LevelOf(entry.node.nVisibility);
        pEvent->strToolTip = Text(entry.node.szToolTip).trimmed();
        pChannel->listEvent.append(pEvent);
        qDebug("%s", qUtf8Printable(QStringLiteral("new EventItem %1 %2")
                                        .arg(pEvent->strDisplayNameEn, pEvent->strDisplayNameCn)));
        EnumValue notification{};
        if (pInterface->GetEnumValue("EventNotification", &notification, true) == 0) {
            // Anything but "Off" notifies (On, Once, or a maker's own entry).
            const bool bOn = !layout.notification.bHasOff || notification.nCurValue != quint32(layout.notification.nOff);
            pEvent->nState = bOn ? 2 : 0;
            pEvent->bDeviceState = bOn;
            nOn += bOn ? 1 : 0;
        } else {
            NotificationReadFailures::Add(nDeviceNumber, pEvent->strName);
        }
    }
    pChannel->nState = nOn == 0 ? 0 : nOn == pChannel->listEvent.size() ? 2 : 1;
    pType->nState = AggregateState(pChannel->nState, 1);
    return pType;
}

void Write(CCamInterface* pInterface, const StandardEventLayout& layout, const QList<EventTypeItem*>& types)
{
    for (EventTypeItem* pType : types) {
        if (!pType->bShow)
            continue;
        pType->strErrorMsg.clear(); // nothing to select: the type is the device's event control itself
        for (ChannelItem* pChannel : qAsConst(pType->listChannel)) {
            if (!pChannel->bShow)
                continue;
            pChannel->strErrorMsg.clear();
            WriteChannelEvents(pInterface, pChannel, layout.notification);
        }
    }
}

} // namespace StandardEventModel

void WriteChannelEvents(CCamInterface* pInterface, ChannelItem* pChannel, const NotificationValues& values)
{
    for (EventItem* pEvent : qAsConst(pChannel->listEvent)) {
        if (!pEvent->bShow)
            continue;
        const int nSelect = pInterface->SetEnumValue("EventSelector", quint32(pEvent->nValue));
        pEvent->nWriteError = nSelect;
        if (nSelect != 0) {
            pChannel->strErrorMsg = ErrorText(nSelect);
            continue;
        }
        const bool bOn = pEvent->nState == 2;
        const int nWrite = (bOn ? values.bHasOn : values.bHasOff)
                               ? pInterface->SetEnumValue("EventNotification", quint32(bOn ? values.nOn : values.nOff))
                               : GC_ERR_NOT_AVAILABLE;
        pEvent->nWriteError = nWrite;
        if (nWrite != 0) {
            pChannel->strErrorMsg = ErrorText(nWrite);
            continue;
        }
        pEvent->bDeviceState = bOn;
    }
}

} // namespace Saltire
