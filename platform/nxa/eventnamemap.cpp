#include "eventnamemap.h"

#include <QMap>
#include <QSet>
#include <QXmlStreamReader>

namespace {

// What the reader keeps of one top-level node: its kind, name, the texts of its direct children and the
// names of its enumeration entries.
struct Node {
    QString kind, name;
    QMultiMap<QString, QString> children;
    QStringList entries;
    QString child(const char* tag) const { return children.value(QLatin1String(tag)).trimmed(); }
};

QList<Node> readNodes(const QByteArray& description)
{
    QList<Node> nodes;
    QXmlStreamReader xml(description);
    Node current;
    QString text;
    int depth = 0, nodeDepth = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            text.clear();
            const QString name = xml.name().toString();
            if (nodeDepth < 0 && name != QLatin1String("Group") && name != QLatin1String("RegisterDescription")
                && xml.attributes().hasAttribute(QLatin1String("Name"))) {
                current = Node{name, xml.attributes().value(QLatin1String("Name")).toString(), {}, {}};
                nodeDepth = depth;
            } else if (nodeDepth >= 0 && depth == nodeDepth + 1 && name == QLatin1String("EnumEntry")) {
                current.entries << xml.attributes().value(QLatin1String("Name")).toString();
            }
        } else if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isEndElement()) {
            if (nodeDepth >= 0 && depth == nodeDepth + 1)
                current.children.insert(xml.name().toString(), text);
            if (depth == nodeDepth) {
                nodes.append(current);
                nodeDepth = -1;
            }
            --depth;
        }
    }
    return nodes;
}

// GenICam integers may be written in decimal or with a 0x prefix.
bool readNumber(const QString& strText, quint64& nValue)
{
    bool bOk = false;
    nValue = strText.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? strText.mid(2).toULongLong(&bOk, 16)
                                                                          : strText.toULongLong(&bOk, 10);
    return bOk;
}

// A whole register at one fixed address: bit fields (MaskedIntReg) and computed addresses (pAddress, pIndex,
// several Address elements) are not decoded rather than decoded wrongly.
bool isPlainRegister(const Node& n)
{
    return n.kind == QLatin1String("IntReg") && n.children.count(QStringLiteral("Address")) == 1
           && !n.children.contains(QStringLiteral("pAddress")) && !n.children.contains(QStringLiteral("pIndex"));
}

} // namespace

QHash<quint16, EventPortInfo> readEventPorts(const QByteArray& description)
{
    const QList<Node> nodes = readNodes(description);
    QMap<QString, quint16> portIds; // port name -> event id
    QHash<QString, QString> valueOf; // register -> the Integer that presents it
    QSet<QString> selectorEntries;
    for (const Node& n : nodes) {
        if (n.kind == QLatin1String("Port") && n.children.contains(QStringLiteral("EventID"))) {
            bool bOk = false;
            const uint id = n.child("EventID").toUInt(&bOk, 16);
            if (bOk && id <= 0xffff)
                portIds.insert(n.name, quint16(id));
        } else if (n.kind == QLatin1String("Integer") && n.children.contains(QStringLiteral("pValue"))) {
            valueOf.insert(n.child("pValue"), n.name);
        } else if (n.kind == QLatin1String("Enumeration") && n.name == QLatin1String("EventSelector")) {
            selectorEntries = QSet<QString>(n.entries.cbegin(), n.entries.cend());
        }
    }

    QHash<QString, QString> portEvent; // port name -> X, from the first "Event<X>Timestamp" on it
    QHash<QString, QList<QPair<QString, EventDataField>>> portFields; // port -> (feature, field)
    for (const Node& n : nodes) {
        const QString port = n.child("pPort");
        if (!portIds.contains(port))
            continue;
        const QString feature = valueOf.value(n.name, n.name);
        if (feature.startsWith(QLatin1String("Event")) && feature.endsWith(QLatin1String("Timestamp"))
            && feature.size() > int(qstrlen("EventTimestamp"))) {
            if (!portEvent.contains(port))
                portEvent.insert(port, feature.mid(5, feature.size() - 5 - 9));
            continue;
        }
        EventDataField field;
        quint64 nLength = 0;
        if (!isPlainRegister(n) || !readNumber(n.child("Address"), field.nOffset)
            || !readNumber(n.child("Length"), nLength) || nLength == 0 || nLength > 8)
            continue;
        field.nLength = int(nLength);
        field.bBigEndian = n.child("Endianess") == QLatin1String("BigEndian");
        field.bSigned = n.child("Sign") == QLatin1String("Signed");
        portFields[port].append({feature, field});
    }

    QHash<quint16, EventPortInfo> events;
    for (auto it = portIds.cbegin(); it != portIds.cend(); ++it) {
        const QString x = portEvent.value(it.key());
        if (x.isEmpty())
            continue;
        EventPortInfo info;
        info.name = x.toUtf8();
        const QString prefix = QStringLiteral("Event") + x;
        for (const auto& f : portFields.value(it.key())) {
            EventDataField field = f.second;
            field.name = (f.first.startsWith(prefix) && f.first.size() > prefix.size() ? f.first.mid(prefix.size())
                                                                                        : f.first).toUtf8();
            info.fields.append(field);
        }
        events.insert(it.value(), info);
    }
    // Integers "Event<X>" whose constant value is the id.
    for (const Node& n : nodes) {
        if (n.kind != QLatin1String("Integer") || !n.name.startsWith(QLatin1String("Event")) || n.name.size() <= 5
            || !n.children.contains(QStringLiteral("Value")))
            continue;
        const QString x = n.name.mid(5);
        if (!selectorEntries.isEmpty() && !selectorEntries.contains(x))
            continue;
        quint64 id = 0;
        if (!readNumber(n.child("Value"), id) || id > 0xffff || events.contains(quint16(id)))
            continue;
        EventPortInfo info;
        info.name = x.toUtf8();
        events.insert(quint16(id), info);
    }
    return events;
}

QHash<quint16, QByteArray> readEventNames(const QByteArray& description)
{
    QHash<quint16, QByteArray> names;
    const QHash<quint16, EventPortInfo> ports = readEventPorts(description);
    for (auto it = ports.cbegin(); it != ports.cend(); ++it)
        names.insert(it.key(), it->name);
    return names;
}
