#include "constantregisters.h"

#include <QHash>
#include <QXmlStreamReader>

QSet<QByteArray> readConstantRegisters(const QByteArray& description)
{
    QSet<QByteArray> names;
    QSet<QString> dataPorts; // ports of event or chunk data: their registers change with every event
    QHash<QByteArray, QString> portOf;
    {
        QXmlStreamReader ports(description);
        QString portName;
        while (!ports.atEnd()) {
            ports.readNext();
            if (!ports.isStartElement())
                continue;
            if (ports.name() == QLatin1String("Port"))
                portName = ports.attributes().value(QLatin1String("Name")).toString();
            else if (ports.name() == QLatin1String("EventID") || ports.name() == QLatin1String("ChunkID"))
                dataPorts.insert(portName);
        }
    }
    QXmlStreamReader xml(description);
    QByteArray current;
    bool bReadOnly = false, bVariable = false;
    int depth = 0, nodeDepth = -1;
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            text.clear();
            if (nodeDepth < 0 && xml.name() == QLatin1String("IntReg")) {
                current = xml.attributes().value(QLatin1String("Name")).toUtf8();
                bReadOnly = false;
                bVariable = false;
                nodeDepth = depth;
            } else if (nodeDepth >= 0 && depth == nodeDepth + 1) {
                const QStringRef name = xml.name();
                if (name == QLatin1String("pIndex") || name == QLatin1String("pAddress")
                    || name == QLatin1String("pIsAvailable") || name == QLatin1String("pIsImplemented")
                    || name == QLatin1String("pIsLocked") || name == QLatin1String("pInvalidator"))
                    bVariable = true;
            }
        } else if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isEndElement()) {
            if (nodeDepth >= 0 && depth == nodeDepth + 1) {
                const QString value = text.trimmed();
                if (xml.name() == QLatin1String("AccessMode"))
                    bReadOnly = value == QLatin1String("RO");
                else if (xml.name() == QLatin1String("pPort"))
                    portOf.insert(current, value);
                else if (xml.name() == QLatin1String("Cachable") && value == QLatin1String("NoCache"))
                    bVariable = true;
            }
            if (depth == nodeDepth) {
                if (bReadOnly && !bVariable && !current.isEmpty() && !dataPorts.contains(portOf.value(current)))
                    names.insert(current);
                nodeDepth = -1;
            }
            --depth;
        }
    }
    return xml.hasError() ? QSet<QByteArray>() : names;
}
