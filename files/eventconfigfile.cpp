#include "eventconfigfile.h"

#include "channelitem.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

#include <QFile>
#include <QIODevice>
#include <QMap>
#include <QTextStream>

using namespace Saltire;

namespace EventConfigFile {

const char* const kBeginMarker = "BeginGroup--**************----";
const char* const kEndMarker = "EndGroup----**************----";

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString NameValue(const RWItem* pItem)
{
    return QStringLiteral("%1:%2").arg(pItem->strName).arg(pItem->nValue);
}

void AppendGroup(QString& text, const EventTypeItem* pType, const IOTypeItem* pIO, const QList<ChannelItem*>& channels)
{
    text += QLatin1String(kBeginMarker) + kCrLf;
    text += QStringLiteral("Type: ") + NameValue(pType) + kCrLf;
    if (pIO)
        text += QStringLiteral("IO: ") + NameValue(pIO) + kCrLf;
    for (const ChannelItem* pChannel : channels) {
        text += QStringLiteral("Channel: ") + NameValue(pChannel) + kCrLf;
        QString events = QStringLiteral("Event: ");
        for (const EventItem* pEvent : pChannel->listEvent)
            events += QStringLiteral("[%1:%2:%3]; ").arg(pEvent->strName).arg(pEvent->nValue).arg(pEvent->nState != 0 ? 1 : 0);
        text += events + kCrLf;
    }
    text += QLatin1String(kEndMarker) + kCrLf + kCrLf;
}

// "<name>:<value>" to the first item of the list with exactly that name and value.
template<typename T>
T* FindByKey(const QList<T*>& items, const QString& strKey)
{
    const QStringList parts = strKey.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return nullptr;
    const QString strName = parts.at(0).trimmed();
    const qint64 nValue = parts.at(1).toLongLong(); // not a number reads as 0
    for (T* pItem : items)
        if (pItem->nValue == nValue && pItem->strName == strName)
            return pItem;
    return nullptr;
}

int StateOfChannels(const QList<ChannelItem*>& channels)
{
    bool bAllChecked = true, bAny = false;
    for (const ChannelItem* pChannel : channels) {
        bAllChecked = bAllChecked && pChannel->nState == Qt::Checked;
        bAny = bAny || pChannel->nState == Qt::Checked || pChannel->nState == Qt::PartiallyChecked;
    }
    if (bAllChecked)
        return Qt::Checked;
    return bAny ? Qt::PartiallyChecked : Qt::Unchecked;
}

void ApplyEvents(const QString& strEvents, ChannelItem* pChannel, bool& bImported, const QString& strWhere,
                 QStringList* pUnmatched)
{
    const QStringList entries = strEvents.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& strEntry : entries) {
        QString strInner = strEntry.trimmed();
        strInner.chop(1);      // the closing bracket, unchecked
        strInner.remove(0, 1); // the opening bracket, unchecked
        const QStringList parts = strInner.split(QLatin1Char(':'), Qt::SkipEmptyParts);
        if (parts.size() < 3)
            return; // the rest of the line is ignored, and the channel keeps its state
        const QString strName = parts.at(0).trimmed();
        const qint64 nValue = parts.at(1).toLongLong();
        const int nFlag = parts.at(2).toInt();
        const int nState = nFlag >= 1 ? Qt::Checked : Qt::Unchecked;
        bool bMatched = false;
        for (EventItem* pEvent : qAsConst(pChannel->listEvent)) {
            if (pEvent->nValue == nValue && pEvent->strName == strName) {
                pEvent->nState = nState;
                bImported = true;
                bMatched = true;
            }
        }
        if (!bMatched && pUnmatched)
            pUnmatched->append(strWhere + QStringLiteral(" / Event: %1:%2").arg(strName).arg(nValue));
    }
    int nChecked = 0;
    for (const EventItem* pEvent : qAsConst(pChannel->listEvent))
        if (pEvent->nState == Qt::Checked)
            ++nChecked;
    if (nChecked == 0)
        pChannel->nState = Qt::Unchecked;
    else
        pChannel->nState = nChecked == pChannel->listEvent.size() ? Qt::Checked : Qt::PartiallyChecked;
}

} // namespace

QString ToText(const QList<EventTypeItem*>& eventTypes)
{
    QString text;
    for (const EventTypeItem* pType : eventTypes) {
        if (pType->listIOType.isEmpty()) {
            AppendGroup(text, pType, nullptr, pType->listChannel);
            continue;
        }
        for (const IOTypeItem* pIO : pType->listIOType)
            AppendGroup(text, pType, pIO, pIO->listChannel);
    }
    return text;
}

bool Write(QIODevice* pDevice, const QList<EventTypeItem*>& eventTypes)
{
    QTextStream stream(pDevice); // the local 8-bit encoding
    stream << ToText(eventTypes);
    stream.flush();
    return stream.status() == QTextStream::Ok;
}

// Walks the text in place (views, no copies of the whole) so that memory stays near the text's own size.
bool ApplyText(const QString& strText, const QList<EventTypeItem*>& eventTypes, QStringList* pUnmatched)
{
    bool bImported = false;
    const QString strBegin = QLatin1String(kBeginMarker);
    const QString strEnd = QLatin1String(kEndMarker);
    for (int from = 0; from < strText.size();) {
        int end = strText.indexOf(strEnd, from);
        if (end < 0)
            end = strText.size();
        const QStringRef piece = strText.midRef(from, end - from).trimmed();
        from = end + strEnd.size();
        if (piece.isEmpty() || !piece.contains(strBegin))
            continue;
        QString strTypeKey, strIOKey, strPendingChannel;
        QMap<QString, QString> channelEvents;
        for (int at = 0; at < piece.size();) {
            int lineEnd = piece.indexOf(kCrLf, at);
            if (lineEnd < 0)
                lineEnd = piece.size();
            QStringRef rawLine = piece.mid(at, lineEnd - at);
            at = lineEnd + kCrLf.size();
            QString strWithout;
            if (rawLine.contains(strBegin)) {
                strWithout = rawLine.toString().remove(strBegin);
                rawLine = QStringRef(&strWithout);
            }
            const QStringRef line = rawLine.trimmed();
            // As before: the key word goes wherever it stands in the line.
            auto rest = [&](const char* prefix) { return line.toString().remove(QLatin1String(prefix)).trimmed(); };
            if (line.startsWith(QLatin1String("Type: "))) {
                strTypeKey = rest("Type: ");
            } else if (line.startsWith(QLatin1String("IO: "))) {
                strIOKey = rest("IO: ");
            } else if (line.startsWith(QLatin1String("Channel: "))) {
                strPendingChannel = rest("Channel: ");
            } else if (line.startsWith(QLatin1String("Event: "))) {
                if (strPendingChannel.isEmpty())
                    continue;
                channelEvents.insert(strPendingChannel, rest("Event: "));
                strPendingChannel.clear();
            }
        }
        EventTypeItem* pType = FindByKey(eventTypes, strTypeKey);
        QString strWhere = QStringLiteral("Type: ") + strTypeKey;
        if (!pType) {
            if (pUnmatched)
                pUnmatched->append(strWhere);
            continue;
        }
        IOTypeItem* pIO = FindByKey(pType->listIOType, strIOKey);
        if (!strIOKey.isEmpty()) {
            strWhere += QStringLiteral(" / IO: ") + strIOKey;
            if (!pIO && pUnmatched)
                pUnmatched->append(strWhere);
        }
        const QList<ChannelItem*>& channels = pIO ? pIO->listChannel : pType->listChannel;
        for (auto it = channelEvents.cbegin(); it != channelEvents.cend(); ++it) {
            const QString strChannel = strWhere + QStringLiteral(" / Channel: ") + it.key();
            if (ChannelItem* pChannel = FindByKey(channels, it.key()))
                ApplyEvents(it.value(), pChannel, bImported, strChannel, pUnmatched);
            else if (pUnmatched)
                pUnmatched->append(strChannel);
        }
        if (pIO)
            pIO->nState = StateOfChannels(channels);
        else
            pType->nState = StateOfChannels(channels);
    }
    return bImported;
}

ReadResult ReadFile(const QString& strPath, QString& strText, QString* pError)
{
    strText.clear();
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (pError)
            *pError = file.errorString();
        return ReadResult::Unreadable;
    }
    // Real files are kilobytes; anything this large is not one, and reading it could exhaust memory.
    if (file.size() > kMaxFileSize) {
        if (pError)
            *pError = QStringLiteral("larger than %1 MiB").arg(kMaxFileSize >> 20);
        return ReadResult::TooLarge;
    }
    QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        if (pError)
            *pError = QStringLiteral("larger than %1 MiB").arg(kMaxFileSize >> 20);
        return ReadResult::TooLarge;
    }
    // All of it: the QByteArray overload would stop at the first NUL byte.
    strText = QString::fromUtf8(bytes.constData(), bytes.size());
    return ReadResult::Ok;
}

} // namespace EventConfigFile
