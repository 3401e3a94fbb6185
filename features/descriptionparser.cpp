#include "descriptionparser.h"

#include "nxainterface.h"

#include <QDomDocument>
#include <QDomElement>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace Saltire {

namespace {

constexpr unsigned kFirstBuffer = 0x300000;

std::unique_ptr<char[]> Allocate(unsigned nSize)
{
    return std::unique_ptr<char[]>(new (std::nothrow) char[nSize ? nSize : 1]());
}

QByteArray UpToNul(const char* pBuffer, unsigned nSize)
{
    return QByteArray(pBuffer, int(qstrnlen(pBuffer, nSize)));
}

QString ChildText(const QDomElement& parent, const QString& strTag)
{
    return parent.firstChildElement(strTag).text();
}

void ApplyTranslation(const QDomDocument& translation, FeatureDesc& desc)
{
    const QDomElement root = translation.documentElement();
    for (QDomElement feature = root.firstChildElement(QStringLiteral("Feature")); !feature.isNull();
         feature = feature.nextSiblingElement(QStringLiteral("Feature"))) {
        if (feature.attribute(QStringLiteral("Name")) != desc.strName)
            continue;
        const QDomElement name = feature.firstChildElement(QStringLiteral("DisplayName::cn"));
        if (!name.isNull())
            desc.strDisplayNameCn = name.text();
        for (QDomElement entry = feature.firstChildElement(QStringLiteral("EnumEntry")); !entry.isNull();
             entry = entry.nextSiblingElement(QStringLiteral("EnumEntry"))) {
            const QString strEntry = entry.attribute(QStringLiteral("Name"));
            const QString strCn = ChildText(entry, QStringLiteral("DisplayName::cn"));
            for (EnumEntryDesc& e : desc.listEntry) {
                if (e.strName == strEntry) {
                    e.strDisplayNameCn = strCn;
                    break;
                }
            }
        }
        return; // the first matching feature only
    }
}

} // namespace

bool FetchDescriptionTexts(CCamInterface* pInterface, QByteArray& description, QByteArray& translation)
{
    description.clear();
    translation.clear();
    std::unique_ptr<char[]> buffer = Allocate(kFirstBuffer);
    if (!buffer || !pInterface)
        return false;
    unsigned nLength = kFirstBuffer;
    pInterface->GetXmlDescription(buffer.get(), kFirstBuffer, &nLength);
    unsigned nBufferSize = kFirstBuffer;
    if (nLength >= kFirstBuffer) {
        buffer.reset();
        nBufferSize = nLength;
        buffer = Allocate(nBufferSize);
        if (!buffer)
            return false;
        pInterface->GetXmlDescription(buffer.get(), nLength, &nLength);
    }
    description = UpToNul(buffer.get(), nBufferSize);

    // The translation gets the description's length as its capacity.
    const unsigned nCapacity = qMin(nLength, nBufferSize);
    std::fill(buffer.get(), buffer.get() + nCapacity, '\0');
    unsigned nTrLength = nCapacity;
    pInterface->GetXmlTranslation(buffer.get(), nCapacity, &nTrLength);
    unsigned nTextSize = nCapacity;
    if (nTrLength >= kFirstBuffer) {
        buffer.reset();
        buffer = Allocate(nTrLength);
        if (!buffer)
            return true; // no translation text
        nTextSize = nTrLength;
        pInterface->GetXmlTranslation(buffer.get(), nTrLength, &nTrLength);
    }
    translation = UpToNul(buffer.get(), nTextSize);
    return true;
}

// The document parser recurses per element: a hostile nesting would overflow the worker's stack. The
// GenICam engine refuses such a description too. A scan of the bytes, not a second parse: tags are counted
// as they open and close, comments, CDATA sections, processing instructions and quoted attribute values are
// stepped over. A document type with an internal subset is refused outright: its entities could expand
// into elements the scan does not see (GenICam descriptions have none).
bool NestingWithin(const QByteArray& xml, int nMaxDepth)
{
    const char* p = xml.constData();
    const char* const end = p + xml.size();
    auto skipPast = [&](const char* szEnd, size_t nEnd) {
        const char* found = std::search(p, end, szEnd, szEnd + nEnd);
        p = found == end ? end : found + nEnd;
    };
    int depth = 0;
    while ((p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p))))) {
        ++p;
        if (p == end)
            break;
        if (*p == '?') {
            skipPast("?>", 2);
        } else if (*p == '!') {
            if (end - p >= 3 && p[1] == '-' && p[2] == '-') {
                skipPast("-->", 3);
            } else if (end - p >= 8 && std::memcmp(p, "![CDATA[", 8) == 0) {
                skipPast("]]>", 3);
            } else { // <!DOCTYPE ...>, with or without an internal subset
                const char* close = static_cast<const char*>(std::memchr(p, '>', size_t(end - p)));
                const char* subset = static_cast<const char*>(std::memchr(p, '[', size_t(end - p)));
                if (subset && (!close || subset < close))
                    return false;
                p = close ? close + 1 : end;
            }
        } else if (*p == '/') {
            --depth;
            skipPast(">", 1);
        } else {
            // A start tag: to its '>' outside quotes; "/>" closes it at once.
            char quote = 0;
            char last = 0;
            for (; p < end; ++p) {
                if (quote) {
                    if (*p == quote)
                        quote = 0;
                } else if (*p == '"' || *p == '\'') {
                    quote = *p;
                } else if (*p == '>') {
                    break;
                }
                last = *p;
            }
            if (p == end)
                break;
            ++p;
            if (last != '/' && ++depth > nMaxDepth)
                return false;
        }
    }
    return true;
}

bool ParseFeatureDescriptions(const QByteArray& description, const QByteArray& translation, FeatureDescMap& out)
{
    QDomDocument doc;
    if (!NestingWithin(description, kMaxNesting) || !doc.setContent(QString::fromUtf8(description), false))
        return false;
    QDomDocument trDoc;
    if (NestingWithin(translation, kMaxNesting))
        trDoc.setContent(QString::fromUtf8(translation), false); // a failure only loses the Chinese names

    const QDomElement root = doc.documentElement();
    QDomElement group = root.firstChildElement(QStringLiteral("Group"));
    while (!group.isNull() && group.attribute(QStringLiteral("Comment")) != QLatin1String("EventControl"))
        group = group.nextSiblingElement(QStringLiteral("Group"));
    if (!group.isNull()) {
        static const QStringList names{QStringLiteral("EventCategory"), QStringLiteral("EventIOType"),
                                       QStringLiteral("ChannelSelector"), QStringLiteral("EventSelector")};
        for (QDomElement e = group.firstChildElement(QStringLiteral("Enumeration")); !e.isNull();
             e = e.nextSiblingElement(QStringLiteral("Enumeration"))) {
            const QString strName = e.attribute(QStringLiteral("Name"));
            if (!names.contains(strName))
                continue;
            FeatureDesc desc;
            desc.strName = strName;
            desc.strDisplayName = ChildText(e, QStringLiteral("DisplayName"));
            for (QDomElement entry = e.firstChildElement(QStringLiteral("EnumEntry")); !entry.isNull();
                 entry = entry.nextSiblingElement(QStringLiteral("EnumEntry"))) {
                EnumEntryDesc d;
                d.nValue = ChildText(entry, QStringLiteral("Value")).toInt(nullptr, 10);
                d.strDisplayName = ChildText(entry, QStringLiteral("DisplayName"));
                d.strVisibility = ChildText(entry, QStringLiteral("Visibility"));
                d.strName = entry.attribute(QStringLiteral("Name"));
                desc.listEntry.append(d);
            }
            ApplyTranslation(trDoc, desc);
            out.insert(strName, desc);
        }
    }
    qDebug("end ReadXml");
    return true;
}

} // namespace Saltire
