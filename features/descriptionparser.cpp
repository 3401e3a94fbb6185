#include "descriptionparser.h"

#include "nxainterface.h"

#include <QDomDocument>
#include <QXmlStreamReader>
#include <QDomElement>

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
// GenICam engine refuses such a description too.
bool NestingWithin(const QByteArray& xml, int nMaxDepth)
{
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > nMaxDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
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
