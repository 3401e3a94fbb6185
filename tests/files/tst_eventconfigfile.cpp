#include "channelitem.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace Saltire;

namespace {

EventItem* Event(const QString& name, qint64 value, int state)
{
    auto* e = new EventItem;
    e->strName = name;
    e->nValue = value;
    e->nState = state;
    return e;
}

ChannelItem* Channel(const QString& name, qint64 value, QList<EventItem*> events)
{
    auto* c = new ChannelItem;
    c->strName = name;
    c->nValue = value;
    c->listEvent = events;
    return c;
}

// T(1) with IO line L(0), channel C(2) with E1 (10, on) and E2 (11, off); and a plain type P(3) with
// channels K(0): F1 (20, off), F2 (21, on) and K(1): G (30, off).
struct Model {
    QList<EventTypeItem*> types;
    Model()
    {
        auto* t = new EventTypeItem;
        t->strName = "T";
        t->nValue = 1;
        auto* io = new IOTypeItem;
        io->strName = "L";
        io->nValue = 0;
        io->listChannel << Channel("C", 2, {Event("E1", 10, 2), Event("E2", 11, 0)});
        t->listIOType << io;
        auto* p = new EventTypeItem;
        p->strName = "P";
        p->nValue = 3;
        p->listChannel << Channel("K", 0, {Event("F1", 20, 0), Event("F2", 21, 2)}) << Channel("K", 1, {Event("G", 30, 0)});
        types << t << p;
    }
    ~Model() { qDeleteAll(types); }
    QList<int> states() const
    {
        QList<int> s;
        for (EventTypeItem* t : types) {
            QList<ChannelItem*> channels = t->listChannel;
            for (IOTypeItem* io : qAsConst(t->listIOType))
                channels += io->listChannel;
            for (ChannelItem* c : qAsConst(channels))
                for (EventItem* e : qAsConst(c->listEvent))
                    s << e->nState;
        }
        return s;
    }
    void setAll(int state)
    {
        for (EventTypeItem* t : types) {
            QList<ChannelItem*> channels = t->listChannel;
            for (IOTypeItem* io : qAsConst(t->listIOType))
                channels += io->listChannel;
            for (ChannelItem* c : qAsConst(channels))
                for (EventItem* e : qAsConst(c->listEvent))
                    e->nState = state;
        }
    }
};

const QByteArray kBegin = "BeginGroup--**************----";
const QByteArray kEnd = "EndGroup----**************----";

} // namespace

class TestEventConfigFile : public QObject
{
    Q_OBJECT

private slots:
    // The worked example byte for byte, then a group without an IO line; a partially checked event counts as on.
    void bytesOfTheGroups()
    {
        Model m;
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(EventConfigFile::Write(&buffer, m.types));
        QCOMPARE(buffer.data(), kBegin + "\r\nType: T:1\r\nIO: L:0\r\nChannel: C:2\r\nEvent: [E1:10:1]; [E2:11:0]; \r\n" + kEnd
                                    + "\r\n\r\n" + kBegin + "\r\nType: P:3\r\nChannel: K:0\r\nEvent: [F1:20:0]; [F2:21:1]; "
                                    + "\r\nChannel: K:1\r\nEvent: [G:30:0]; \r\n" + kEnd + "\r\n\r\n");
        m.types.at(1)->listChannel.at(1)->listEvent.at(0)->nState = 1;
        QVERIFY(EventConfigFile::ToText(m.types).contains("[G:30:1]; "));
        QCOMPARE(EventConfigFile::ToText({}), QString());
    }

    void roundTripRestoresEveryState()
    {
        Model m;
        const QList<int> saved = m.states();
        const QString text = EventConfigFile::ToText(m.types);
        m.setAll(2);
        QVERIFY(EventConfigFile::ApplyText(text, m.types));
        QCOMPARE(m.states(), saved);
        QCOMPARE(m.types.at(0)->listIOType.at(0)->listChannel.at(0)->nState, 1);
        QCOMPARE(m.types.at(0)->listIOType.at(0)->nState, 1);
        QCOMPARE(m.types.at(0)->nState, 0); // a type with IO lines is left alone
        QCOMPARE(m.types.at(1)->listChannel.at(1)->nState, 0);
        QCOMPARE(m.types.at(1)->nState, 1);
    }

    void readingRules_data()
    {
        QTest::addColumn<QByteArray>("body"); // between the markers of one group of type P
        QTest::addColumn<bool>("imported");
        QTest::addColumn<QList<int>>("states"); // F1, F2, G
        QTest::addColumn<int>("channelK0");
        QTest::newRow("plain") << QByteArray("Type: P:3\r\nChannel: K:0\r\nEvent: [F1:20:1]; [F2:21:0]; \r\n") << true
                               << QList<int>{2, 0, 0} << 1;
        QTest::newRow("an entry without a flag stops the line")
            << QByteArray("Type: P:3\r\nChannel: K:0\r\nEvent: [F1:20:1]; [F2:21]; [G:30:1]; \r\n") << true
            << QList<int>{2, 2, 0} << 9;
        QTest::newRow("the later Event line of a channel wins")
            << QByteArray("Type: P:3\r\nChannel: K:0\r\nEvent: [F1:20:1]; \r\nChannel: K:0\r\nEvent: [F1:20:0]; \r\n") << true
            << QList<int>{0, 2, 0} << 1;
        QTest::newRow("a name with a colon does not match")
            << QByteArray("Type: P:3\r\nChannel: K:0\r\nEvent: [F1:x:20:1]; \r\n") << false << QList<int>{0, 2, 0} << 1;
        QTest::newRow("LF line ends import nothing")
            << QByteArray("Type: P:3\nChannel: K:0\nEvent: [F1:20:1]; \n") << false << QList<int>{0, 2, 0} << 9;
        QTest::newRow("an Event line before any Channel line is ignored")
            << QByteArray("Type: P:3\r\nEvent: [F1:20:1]; \r\n") << false << QList<int>{0, 2, 0} << 9;
        QTest::newRow("unknown type") << QByteArray("Type: P:4\r\nChannel: K:0\r\nEvent: [F1:20:1]; \r\n") << false
                                      << QList<int>{0, 2, 0} << 9;
        QTest::newRow("flag above 1 checks") << QByteArray("Type: P:3\r\nChannel: K:1\r\nEvent: [G:30:7]; \r\n") << true
                                             << QList<int>{0, 2, 2} << 9;
    }
    void readingRules()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, imported);
        QFETCH(QList<int>, states);
        QFETCH(int, channelK0);
        Model m;
        ChannelItem* k0 = m.types.at(1)->listChannel.at(0);
        k0->nState = 9; // marks "left as it was"
        const QString text = QString::fromUtf8("garbage line\r\n" + kBegin + "\r\n" + body + kEnd + "\r\n\r\n");
        QCOMPARE(EventConfigFile::ApplyText(text, m.types), imported);
        QCOMPARE(m.states().mid(2), states);
        QCOMPARE(k0->nState, channelK0);
    }

    // Whatever the bytes, nothing crashes and events that were not named keep their state.
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary(64 * 1024, '\0');
        QRandomGenerator gen(42);
        for (char& c : binary)
            c = char(gen.bounded(256));
        const QByteArray valid = kBegin + "\r\nType: P:3\r\nChannel: K:1\r\nEvent: [G:30:1]; \r\n" + kEnd + "\r\n\r\n";
        QByteArray huge;
        huge.reserve(50 * 1024 * 1024 + valid.size());
        while (huge.size() < 50 * 1024 * 1024)
            huge += "Event: [X:1:1]; [Y:2:0]; ;;;;:::: [[[]]] " + kBegin.left(10) + "\r\n";
        QTest::newRow("garbage") << QByteArray("hello\r\nworld: 1:2:3\r\n;;;[]\r\n");
        QTest::newRow("binary") << binary;
        QTest::newRow("truncated") << valid.left(valid.size() - 30);
        QTest::newRow("markers only") << kBegin + kEnd + kEnd + kBegin;
        QTest::newRow("50 MB") << huge + valid;
    }
    void readFile_data();
    void readFile();
    void hostileFiles()
    {
        QFETCH(QByteArray, content);
        Model m;
        const QList<int> before = m.states();
        EventConfigFile::ApplyText(QString::fromUtf8(content), m.types);
        const QList<int> after = m.states();
        for (int i = 0; i < before.size(); ++i)
            if (i != 4) // only G (30) may be set by these files
                QCOMPARE(after.at(i), before.at(i));
    }
};

void TestEventConfigFile::readFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("size"); // grown to this size with zeros when larger than the content
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<int>>("states");
    const QByteArray first = kBegin + "\r\nType: P:3\r\nChannel: K:0\r\nEvent: [F1:20:1]; \r\n" + kEnd + "\r\n\r\n";
    const QByteArray second = kBegin + "\r\nType: P:3\r\nChannel: K:1\r\nEvent: [G:30:1]; \r\n" + kEnd + "\r\n\r\n";
    const int ok = int(EventConfigFile::ReadResult::Ok);
    QTest::newRow("whole file") << first + second << qint64(0) << ok << QList<int>{2, 0, 2, 2, 2};
    // Every change after a run of NUL bytes counts too.
    QTest::newRow("NUL run") << first + QByteArray(300, '\0') + second << qint64(0) << ok << QList<int>{2, 0, 2, 2, 2};
    QTest::newRow("over 64 MiB") << first + second << qint64(64 * 1024 * 1024 + 1)
                                 << int(EventConfigFile::ReadResult::TooLarge) << QList<int>{2, 0, 0, 2, 0};
    QTest::newRow("exactly 64 MiB") << first + second << qint64(64 * 1024 * 1024) << ok << QList<int>{2, 0, 2, 2, 2};
}

void TestEventConfigFile::readFile()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);
    QFETCH(int, result);
    QFETCH(QList<int>, states);
    QTemporaryDir dir;
    const QString path = dir.filePath("x.ect");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
    if (size > content.size())
        QVERIFY(file.resize(size)); // sparse: no real disk use
    file.close();
    QString text;
    QString why;
    QCOMPARE(int(EventConfigFile::ReadFile(path, text, &why)), result);
    Model m;
    if (result == int(EventConfigFile::ReadResult::Ok))
        QVERIFY(EventConfigFile::ApplyText(text, m.types));
    else
        QVERIFY(why.contains("64 MiB"));
    QCOMPARE(m.states(), states);
    QCOMPARE(int(EventConfigFile::ReadFile(dir.filePath("missing.ect"), text, &why)),
             int(EventConfigFile::ReadResult::Unreadable));
}

QTEST_GUILESS_MAIN(TestEventConfigFile)
#include "tst_eventconfigfile.moc"
