#include "eventnamemap.h"

#include <QMap>
#include <QXmlStreamReader>

QHash<quint16, QByteArray> readEventNames(const QByteArray& description)
{
    QMap<QString, quint16> portIds;     // port name -> event id
    QMap<QString, QString> portFeatures; // port name -> first "Event...Timestamp" feature on it
    QXmlStreamReader xml(description);
    QString node, nodeName;
    QString text;
    int depth = 0, nodeDepth = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            text.clear();
            const QString name = xml.name().toString();
            if (name != QLatin1String("Group") && name != QLatin1String("RegisterDescription")
                && xml.attributes().hasAttribute(QLatin1String("Name")) && nodeDepth < 0) {
                node = name;
                nodeName = xml.attributes().value(QLatin1String("Name")).toString();
                nodeDepth = depth;
            }
        } else if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isEndElement()) {
            const QString name = xml.name().toString();
            if (nodeDepth >= 0 && depth == nodeDepth + 1) {
                if (node == QLatin1String("Port") && name == QLatin1String("EventID")) {
                    bool bOk = false;
                    const uint id = text.trimmed().toUInt(&bOk, 16);
                    if (bOk && id <= 0xffff)
                        portIds.insert(nodeName, quint16(id));
                } else if (name == QLatin1String("pPort") && nodeName.startsWith(QLatin1String("Event"))
                           && nodeName.endsWith(QLatin1String("Timestamp"))) {
                    const QString port = text.trimmed();
                    if (!portFeatures.contains(port))
                        portFeatures.insert(port, nodeName);
                }
            }
            if (depth == nodeDepth)
                nodeDepth = -1;
            --depth;
        }
    }
    QHash<quint16, QByteArray> names;
    for (auto it = portIds.cbegin(); it != portIds.cend(); ++it) {
        const QString feature = portFeatures.value(it.key());
        if (feature.size() > int(qstrlen("EventTimestamp")))
            names.insert(it.value(), feature.mid(5, feature.size() - 5 - 9).toUtf8());
    }
    return names;
}
