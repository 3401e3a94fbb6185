#include "eventprinter.h"

#include "descriptionparser.h"
#include "eventrecordtext.h"
#include "eventstattext.h"

#include <QMutexLocker>

#include <cstdio>

namespace {

void Write(const QString& strText)
{
    const QByteArray bytes = strText.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// A name as a JSON string's contents (UTF-8 passes unchanged), without building a document per event.
QByteArray JsonEscaped(const QByteArray& name)
{
    QByteArray out;
    for (const char c : name) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (uchar(c) < 0x20)
            out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

} // namespace

EventPrinter::EventPrinter(CCamInterface* pInterface, const QString& strFormat)
    : m_pInterface(pInterface)
    , m_strFormat(strFormat)
{
    if (m_strFormat == QLatin1String("csv"))
        Write(QStringLiteral("seconds,name,id,arrival\n"));
    if (m_strFormat == QLatin1String("jsonl")) {
        QByteArray description, translation;
        if (Saltire::FetchDescriptionTexts(pInterface, description, translation))
            m_ports = readEventPorts(description);
    }
    m_statistics.Start();
}

QByteArray EventPrinter::DataJson(const EventRecord& record, const EventPortInfo& port)
{
    // The record as the device sent it: the GigE Vision header, then the data that came with the event.
    QByteArray bytes(16, '\0');
    auto put = [&](int at, quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            bytes[at + i] = char((v >> (8 * (n - 1 - i))) & 0xff);
    };
    put(2, record.nEventId, 2);
    put(4, record.nStreamChannel, 2);
    put(6, record.nBlockId, 2);
    put(8, record.nTimestampHigh, 4);
    put(12, record.nTimestampLow, 4);
    bytes.append(reinterpret_cast<const char*>(record.data), int(qMin<quint32>(record.nDataSize, sizeof record.data)));
    QByteArray members;
    for (const EventDataField& f : port.fields) {
        if (f.nOffset > quint64(bytes.size()) || quint64(f.nLength) > quint64(bytes.size()) - f.nOffset)
            continue; // not in this record
        quint64 v = 0;
        for (int i = 0; i < f.nLength; ++i) {
            const int at = int(f.nOffset) + (f.bBigEndian ? i : f.nLength - 1 - i);
            v = (v << 8) | uchar(bytes.at(at));
        }
        if (f.bSigned && f.nLength < 8 && (v >> (8 * f.nLength - 1)) & 1)
            v |= ~quint64(0) << (8 * f.nLength); // sign-extend
        members += (members.isEmpty() ? "\"" : ",\"") + JsonEscaped(f.name) + "\":"
                   + (f.bSigned ? QByteArray::number(qint64(v)) : QByteArray::number(v));
    }
    return members.isEmpty() ? QByteArray() : ",\"data\":{" + members + '}';
}

void EventPrinter::OnEvent(EventRecord* pRecord)
{
    const int nFrequency = EventRecordText::TimestampFrequency(m_pInterface);
    const QString strSeconds = EventRecordText::Seconds(*pRecord, nFrequency);
    const QString strName = EventRecordText::Name(*pRecord);
    const QString strId = EventRecordText::IdText(*pRecord);
    QString strLine;
    if (m_strFormat == QLatin1String("csv")) {
        strLine = QStringLiteral("%1,%2,%3,%4\n").arg(strSeconds, strName, strId, EventRecordText::ArrivalTimeIso());
    } else if (m_strFormat == QLatin1String("jsonl")) {
        // The seconds as a JSON number with the log's eight decimals, exactly as the other formats print them.
        QByteArray json = "{\"seconds\":" + strSeconds.toLatin1() + ",\"name\":\"" + JsonEscaped(strName.toUtf8())
                          + "\",\"id\":\"" + strId.toLatin1() + "\",\"arrival\":\"" + EventRecordText::ArrivalTimeIso().toLatin1()
                          + '"';
        const auto port = m_ports.constFind(pRecord->nEventId);
        if (port != m_ports.constEnd())
            json += DataJson(*pRecord, *port);
        strLine = QString::fromUtf8(json + "}\n");
    } else {
        strLine = strSeconds + QLatin1Char(' ') + EventRecordText::Content(*pRecord) + QLatin1Char(' ')
                  + EventRecordText::ArrivalTime() + QLatin1Char('\n');
    }
    m_statistics.Add(*pRecord, nFrequency);
    QMutexLocker lock(&m_mutex);
    Write(strLine);
    ++m_nCount;
}

long EventPrinter::Count()
{
    QMutexLocker lock(&m_mutex);
    return m_nCount;
}

void EventPrinter::Summary()
{
    using namespace EventStatText;
    const EventStatisticsSnapshot snapshot = m_statistics.Snapshot(false);
    QMutexLocker lock(&m_mutex);
    std::fflush(stdout);
    // Right-aligned columns as wide as their widest text; the last second's rate means little at the end.
    const QList<int> columns{ColName,        ColCount,       ColMeanRate,        ColMinInterval,
                             ColMeanInterval, ColMaxInterval, ColSuspectedMissed, ColLastTimestamp};
    QVector<QStringList> lines(snapshot.rows.size() + 1);
    for (int c : columns) {
        QStringList cells{Header(c)};
        for (const EventStatRow& row : snapshot.rows)
            cells << Cell(row, c);
        int nWidth = 0;
        for (const QString& strCell : qAsConst(cells))
            nWidth = qMax(nWidth, strCell.size());
        for (int i = 0; i < cells.size(); ++i)
            lines[i] << (c == ColName ? cells[i].leftJustified(nWidth) : cells[i].rightJustified(nWidth));
    }
    for (const QStringList& line : qAsConst(lines))
        std::fprintf(stderr, "# %s\n", qUtf8Printable(line.join(QStringLiteral("  "))));
    if (snapshot.nUntracked)
        std::fprintf(stderr, "# events of further kinds, not in the table: %llu\n",
                     (unsigned long long)snapshot.nUntracked);
}
