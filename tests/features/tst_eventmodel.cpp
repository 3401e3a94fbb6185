#include "channelitem.h"
#include "displaytext.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"
#include "userlevelfilter.h"

#include <QtTest>

using namespace Saltire;

namespace {

// A tree written as text: types separated by ';', "T" a type, "I" an IO line, "C" a channel, "E" an
// event, each followed by "g" when its level is Guru. Example: "T(C(E,Eg),Cg(E));Tio(I(C(E)))".
struct Parser {
    const QString s;
    int pos = 0;
    QChar peek() const { return pos < s.size() ? s.at(pos) : QChar(); }
    bool guru()
    {
        if (peek() == 'g') {
            ++pos;
            return true;
        }
        return false;
    }
    bool bad = false;
    void expect(QChar c)
    {
        if (peek() == c)
            ++pos;
        else
            bad = true;
    }
    EventItem* event()
    {
        expect('E');
        auto* e = new EventItem;
        e->nLevel = guru();
        return e;
    }
    ChannelItem* channel()
    {
        expect('C');
        auto* c = new ChannelItem;
        c->nLevel = guru();
        expect('(');
        while (peek() == 'E') {
            c->listEvent << event();
            if (peek() == ',')
                ++pos;
        }
        expect(')');
        return c;
    }
    template<typename T>
    void channels(T* parent)
    {
        expect('(');
        while (peek() == 'C') {
            parent->listChannel << channel();
            if (peek() == ',')
                ++pos;
        }
        expect(')');
    }
    QList<EventTypeItem*> types()
    {
        QList<EventTypeItem*> list;
        while (peek() == 'T') {
            ++pos;
            auto* t = new EventTypeItem;
            list << t;
            t->nLevel = guru();
            if (s.midRef(pos, 2) == QLatin1String("io")) {
                pos += 2;
                expect('(');
                while (peek() == 'I') {
                    ++pos;
                    auto* io = new IOTypeItem;
                    io->nLevel = guru();
                    channels(io);
                    t->listIOType << io;
                    if (peek() == ',')
                        ++pos;
                }
                expect(')');
            } else {
                channels(t);
            }
            if (peek() == ';')
                ++pos;
        }
        return list;
    }
};

// bShow of every record in tree order, as "1"/"0".
QString Shown(const QList<EventTypeItem*>& list)
{
    QString out;
    auto channels = [&out](const QList<ChannelItem*>& cs) {
        for (ChannelItem* c : cs) {
            out += c->bShow ? 'C' : 'c';
            for (EventItem* e : qAsConst(c->listEvent))
                out += e->bShow ? 'E' : 'e';
        }
    };
    for (EventTypeItem* t : list) {
        out += t->bShow ? 'T' : 't';
        channels(t->listChannel);
        for (IOTypeItem* io : qAsConst(t->listIOType)) {
            out += io->bShow ? 'I' : 'i';
            channels(io->listChannel);
        }
        out += ' ';
    }
    return out.trimmed();
}

} // namespace

class TestEventModel : public QObject
{
    Q_OBJECT

private slots:
    void userLevelFilter_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("shown"); // upper case shown, lower case hidden
        QTest::newRow("guru event hidden, siblings stay") << "T(C(E,Eg))" << 0 << "TCEe";
        QTest::newRow("guru level shows all") << "T(C(E,Eg))" << 1 << "TCEE";
        QTest::newRow("guru channel hides its plain events") << "T(Cg(E,E),C(E))" << 0 << "TceeCE";
        QTest::newRow("only guru events: channel and type hidden") << "T(C(Eg))" << 0 << "tce";
        QTest::newRow("event-less subtree hidden at guru") << "T(C())" << 1 << "tc";
        QTest::newRow("guru type hides everything") << "Tg(C(E))" << 0 << "tce";
        QTest::newRow("IO type without IO lines is hidden") << "Tio()" << 1 << "t";
        QTest::newRow("guru IO line hidden, other shown") << "Tio(Ig(C(E)),I(C(E)))" << 0 << "TiceICE";
        QTest::newRow("IO type hidden when no line is shown") << "Tio(I(C()),I(Cg(E)))" << 0 << "tici ce";
        QTest::newRow("second type unaffected") << "T(C(Eg));T(C(E))" << 0 << "tce TCE";
    }
    void userLevelFilter()
    {
        QFETCH(QString, tree);
        QFETCH(int, level);
        QFETCH(QString, shown);
        Parser parser{tree};
        const QList<EventTypeItem*> list = parser.types();
        QVERIFY(!parser.bad);
        ApplyUserLevel(list, level);
        QCOMPARE(Shown(list).remove(' '), shown.remove(' '));
        // Every run refreshes every flag: to the other level and back gives the same result.
        ApplyUserLevel(list, 1 - level);
        ApplyUserLevel(list, level);
        QCOMPARE(Shown(list).remove(' '), shown);
        qDeleteAll(list);
    }

    void aggregation_data()
    {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<int>("result");
        QTest::newRow("none counted") << QList<int>() << 2;
        QTest::newRow("all on") << QList<int>{2, 2} << 2;
        QTest::newRow("all off") << QList<int>{0, 0} << 0;
        QTest::newRow("mixed") << QList<int>{2, 0} << 1;
        QTest::newRow("one partial") << QList<int>{1} << 1;
        QTest::newRow("partial and on") << QList<int>{1, 2, 2} << 1;
    }
    void aggregation()
    {
        QFETCH(QList<int>, states);
        QFETCH(int, result);
        int sum = 0;
        for (int s : states)
            sum += s;
        QCOMPARE(AggregateState(sum, states.size()), result);
    }

    void shortening_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("result");
        const QStringList ch3{"_3", "3"};
        QTest::newRow("_3 removed, other digits kept") << "Timer 13 Done_3" << ch3 << "Timer 13 Done";
        QTest::newRow("without _3 every 3 goes") << "Timer 13 Done" << ch3 << "Timer 1 Done";
        QTest::newRow("underscore test is case-sensitive") << "Data_A" << QStringList{"_a", "a"} << "Dt";
        QTest::newRow("prefix words go in any case")
            << "LINE0 Rising Edge_0" << QStringList{"线路0", "Line 0", "Line0", "_0", "0"} << "Rising Edge";
        QTest::newRow("D485 and 485") << "485 Rx Start_1" << QStringList{"D485接口", "D485", "D485", "485", "_1", "1"}
                                      << "Rx Start";
        QTest::newRow("Chinese prefix") << "线路1上升沿_1" << QStringList{"线路1", "Line 1", "Line1", "_1", "1"} << "上升沿";
        QTest::newRow("empty prefix word changes nothing") << "Edge_2" << QStringList{"", "_2", "2"} << "Edge";
    }
    void shortening()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QFETCH(QString, result);
        QCOMPARE(ShortenDisplayName(text, words), result);
    }

};

QTEST_GUILESS_MAIN(TestEventModel)
#include "tst_eventmodel.moc"
