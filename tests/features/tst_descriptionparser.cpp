#include "descriptionparser.h"
#include "nxainterface.h"
#include "simfixture.h"

#include <QtTest>

using namespace Saltire;

namespace {

QByteArray Description(const QByteArray& groups)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RegisterDescription ModelName=\"T\" VendorName=\"V\">\n"
           + groups + "</RegisterDescription>\n";
}

QByteArray Enumeration(const QByteArray& name, const QByteArray& entries)
{
    return "<Enumeration Name=\"" + name + "\"><DisplayName>" + name + " Name</DisplayName>" + entries
           + "<pValue>R</pValue></Enumeration>\n";
}

QByteArray Entry(const QByteArray& name, const QByteArray& value, const QByteArray& visibility = "Beginner")
{
    return "<EnumEntry Name=\"" + name + "\"><DisplayName>" + name + " Shown</DisplayName><Visibility>" + visibility
           + "</Visibility><Value>" + value + "</Value></EnumEntry>";
}

} // namespace

class TestDescriptionParser : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("entries"); // "name=value/visibility" of EventSelector, in order
        const QByteArray events = Enumeration("EventSelector", Entry("A", "3") + Entry("B", "0x10", "Guru") + Entry("C", " 7 "));
        QTest::newRow("entries in document order, hexadecimal value gives 0")
            << Description("<Group Comment=\"EventControl\">" + events + "</Group>") << QStringList{"EventSelector"}
            << "A=3/Beginner B=0/Guru C=7/Beginner";
        QTest::newRow("only the first EventControl group counts")
            << Description("<Group Comment=\"EventControl\">" + Enumeration("Other", Entry("X", "1"))
                           + "</Group><Group Comment=\"EventControl\">" + events + "</Group>")
            << QStringList() << QString();
        QTest::newRow("earlier groups are skipped")
            << Description("<Group Comment=\"DeviceControl\">" + Enumeration("EventCategory", Entry("Y", "1"))
                           + "</Group><Group Comment=\"EventControl\">" + events + "</Group>")
            << QStringList{"EventSelector"} << "A=3/Beginner B=0/Guru C=7/Beginner";
        QTest::newRow("no EventControl group") << Description("<Group Comment=\"Device\">" + events + "</Group>")
                                               << QStringList() << QString();
        QTest::newRow("the four features, nothing else")
            << Description("<Group Comment=\"EventControl\">" + Enumeration("EventCategory", Entry("K", "1"))
                           + Enumeration("EventIOType", "") + Enumeration("ChannelSelector", "")
                           + Enumeration("EventNotification", Entry("On", "1")) + Enumeration("eventselector", "")
                           + "</Group>")
            << QStringList{"ChannelSelector", "EventCategory", "EventIOType"} << QString();
        QTest::newRow("a later enumeration of the same name replaces")
            << Description("<Group Comment=\"EventControl\">" + Enumeration("EventSelector", Entry("Old", "1"))
                           + events + "</Group>")
            << QStringList{"EventSelector"} << "A=3/Beginner B=0/Guru C=7/Beginner";
    }
    void walk()
    {
        QFETCH(QByteArray, description);
        QFETCH(QStringList, keys);
        QFETCH(QString, entries);
        FeatureDescMap map;
        QTest::ignoreMessage(QtDebugMsg, "end ReadXml");
        QVERIFY(ParseFeatureDescriptions(description, QByteArray(), map));
        QCOMPARE(map.keys(), keys);
        QStringList got;
        for (const EnumEntryDesc& e : map.value("EventSelector").listEntry)
            got << QString("%1=%2/%3").arg(e.strName).arg(e.nValue).arg(e.strVisibility);
        QCOMPARE(got.join(' '), entries);
        if (!keys.isEmpty())
            QCOMPARE(map.first().strDisplayName, map.first().strName + " Name");
    }

    void translation_data()
    {
        QTest::addColumn<QByteArray>("translation");
        QTest::addColumn<QString>("featureCn");
        QTest::addColumn<QString>("entriesCn");
        QTest::newRow("names applied") << QByteArray("<T><Feature Name=\"EventSelector\"><DisplayName::cn>事件</DisplayName::cn>"
                                                     "<EnumEntry Name=\"B\"><DisplayName::cn>乙</DisplayName::cn></EnumEntry>"
                                                     "<EnumEntry Name=\"A\"><DisplayName::cn>甲</DisplayName::cn></EnumEntry>"
                                                     "</Feature></T>")
                                       << QString("事件") << QString("甲,乙");
        QTest::newRow("duplicate entries: the last wins")
            << QByteArray("<T><Feature Name=\"EventSelector\"><EnumEntry Name=\"A\"><DisplayName::cn>一</DisplayName::cn></EnumEntry>"
                          "<EnumEntry Name=\"A\"><DisplayName::cn>二</DisplayName::cn></EnumEntry></Feature></T>")
            << QString() << QString("二,");
        QTest::newRow("only the first matching feature")
            << QByteArray("<T><Feature Name=\"EventSelector\"/><Feature Name=\"EventSelector\"><DisplayName::cn>后</DisplayName::cn></Feature></T>")
            << QString() << QString(",");
        QTest::newRow("no Chinese names") << QByteArray("<T><Feature Name=\"EventSelector\"><EnumEntry Name=\"A\"/></Feature></T>")
                                          << QString() << QString(",");
        QTest::newRow("translation that does not load") << QByteArray("<T><Feature") << QString() << QString(",");
        QTest::newRow("translation nested 25000 deep") << QByteArray("<T>") + QByteArray("<x>").repeated(25000)
                                                       << QString() << QString(",");
    }
    void translation()
    {
        QFETCH(QByteArray, translation);
        QFETCH(QString, featureCn);
        QFETCH(QString, entriesCn);
        const QByteArray description = Description("<Group Comment=\"EventControl\">"
                                                   + Enumeration("EventSelector", Entry("A", "1") + Entry("B", "2"))
                                                   + "</Group>");
        FeatureDescMap map;
        QTest::ignoreMessage(QtDebugMsg, "end ReadXml");
        QVERIFY(ParseFeatureDescriptions(description, translation, map));
        const FeatureDesc desc = map.value("EventSelector");
        QCOMPARE(desc.strDisplayNameCn, featureCn);
        QCOMPARE(desc.listEntry.at(0).strDisplayNameCn + "," + desc.listEntry.at(1).strDisplayNameCn, entriesCn);
    }

    void descriptionThatDoesNotLoad_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::newRow("cut short") << QByteArray("<RegisterDescription><Group Comment=\"EventControl\">");
        // Deep enough to overflow a recursive parser's stack: refused before it is parsed.
        const QByteArray deep = QByteArray("<a>").repeated(25000) + QByteArray("</a>").repeated(25000);
        QTest::newRow("nested 25000 deep") << Description("<Group Comment=\"EventControl\">"
                                                          + Enumeration("EventSelector", Entry("A", "1")) + deep
                                                          + "</Group>");
        // Elements an entity of the document type would expand to are not seen by counting tags: refused.
        QTest::newRow("internal document type") << QByteArray("<!DOCTYPE R [<!ENTITY e \"<a><a></a></a>\">]>")
                                                       + Description("<Group Comment=\"EventControl\">"
                                                                     + Enumeration("EventSelector", Entry("A", "1")) + "&e;</Group>");
        QTest::newRow("nested 256 deep") << Description("<Group Comment=\"EventControl\">"
                                                        + Enumeration("EventSelector", Entry("A", "1"))
                                                        + QByteArray("<a>").repeated(254) + QByteArray("</a>").repeated(254)
                                                        + "</Group>");
    }
    void descriptionThatDoesNotLoad()
    {
        QFETCH(QByteArray, description);
        FeatureDescMap map;
        QVERIFY(!ParseFeatureDescriptions(description, QByteArray(), map));
        QVERIFY(map.isEmpty());
    }

    // Nesting up to the limit still loads; what only looks like tags (in comments, CDATA, quoted values,
    // processing instructions, self-closed elements) does not count.
    void deepButWithinTheLimit()
    {
        const QByteArray nested = QByteArray("<a>").repeated(253) + QByteArray("<!-- <b><b> -->")
                                  + QByteArray("<![CDATA[<c><c>]]><?pi <d> ?><e f=\"x>y\" h='/>'/>").repeated(10)
                                  + QByteArray("</a>").repeated(253);
        FeatureDescMap map;
        QTest::ignoreMessage(QtDebugMsg, "end ReadXml");
        QVERIFY(ParseFeatureDescriptions(Description("<Group Comment=\"EventControl\">"
                                                     + Enumeration("EventSelector", Entry("A", "1")) + nested
                                                     + "</Group>"),
                                         QByteArray(), map));
        QVERIFY(map.contains("EventSelector"));
    }

    // The fetch against a real instance: the whole texts, cut at their NUL.
    void fetchFromTheDevice()
    {
        SimFixture sim;
        QVERIFY(sim.install("camera_a"));
        SimDevice dev("DoVI-SIM-A-2040");
        QCOMPARE(dev.rc, 0);
        QByteArray description, translation;
        QVERIFY(FetchDescriptionTexts(dev.cam, description, translation));
        QFile xml(sim.devicesFolder() + "/camera_a.xml"), zh(sim.devicesFolder() + "/camera_a_zh.xml");
        QVERIFY(xml.open(QIODevice::ReadOnly) && zh.open(QIODevice::ReadOnly));
        QCOMPARE(description, xml.readAll());
        QCOMPARE(translation, zh.readAll());
        FeatureDescMap map;
        QVERIFY(ParseFeatureDescriptions(description, translation, map));
        QCOMPARE(map.keys(), (QStringList{"ChannelSelector", "EventCategory", "EventSelector"}));
        QCOMPARE(map.value("EventCategory").listEntry.at(3).strDisplayNameCn, QString("诊断事件"));
        QCOMPARE(map.value("EventCategory").listEntry.at(3).strVisibility, QString("Guru"));
    }
};

QTEST_GUILESS_MAIN(TestDescriptionParser)
#include "tst_descriptionparser.moc"
