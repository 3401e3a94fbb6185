#include "devicediscovery.h"
#include "saltiredlg.h"
#include "simfixture.h"

#include "customcombobox.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

DeviceInfo Record(const char* key, quint32 keyNumber, bool useAlt, const char* name, const char* detail,
                  const char* alt)
{
    DeviceInfo r;
    std::memset(&r, 0, sizeof r);
    std::strncpy(reinterpret_cast<char*>(r.szKey), key, sizeof r.szKey - 1);
    r.nKeyNumber = keyNumber;
    r.bUseAltName = useAlt ? 1 : 0;
    std::strncpy(reinterpret_cast<char*>(r.szDeviceName), name, sizeof r.szDeviceName - 1);
    std::strncpy(r.szLabelDetail, detail, sizeof r.szLabelDetail - 1);
    std::strncpy(r.szAltName, alt, sizeof r.szAltName - 1);
    return r;
}

// The devices of every producer found, through one instance, as "key" texts.
QStringList ListedKeys()
{
    SimDevice none;
    QStringList keys;
    for (const DeviceInfo& d : DeviceDiscovery::EnumerateDevices(none.cam, DeviceDiscovery::AllProducerFiles()))
        keys << QString::fromLatin1(reinterpret_cast<const char*>(d.szKey));
    return keys;
}

QStringList ComboTexts(const QComboBox* pCombo)
{
    QStringList texts;
    for (int i = 0; i < pCombo->count(); ++i)
        texts << pCombo->itemText(i);
    return texts;
}

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void scanKeepsOnlyOurProducers_data();
    void scanKeepsOnlyOurProducers();
    void deviceNumbersFollowTheKey();
    void labels_data();
    void labels();
    void windowListsEveryProducersDevices();
    void noProducerFolderGivesAnEmptySelector();
    void genTLSearchPath_data();
    void genTLSearchPath();
    void misbehavingProducersAreSkipped_data();
    void misbehavingProducersAreSkipped();
};

void TestDiscovery::scanKeepsOnlyOurProducers_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("kept");
    QTest::newRow("our prefix") << "DoVISimulator.cti" << true;
    QTest::newRow("prefix in lower case") << "dovi_gige.cti" << true;
    QTest::newRow("prefix in upper case") << "DOVIUSB.cti" << true;
    QTest::newRow("another prefix") << "OtherVendor.cti" << false;
    QTest::newRow("prefix, other extension") << "DoVISimulator.dll" << false;
    QTest::newRow("prefix inside the name") << "XDoVI.cti" << false;
}

void TestDiscovery::scanKeepsOnlyOurProducers()
{
    QFETCH(QString, fileName);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    QFile f(dir.filePath(fileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(QDir().mkpath(dir.filePath("DoVISub.cti"))); // a folder is never a producer
    QCOMPARE(DeviceDiscovery::ScanProducerFiles(dir.path()), kept ? QStringList{fileName} : QStringList());
}

void TestDiscovery::deviceNumbersFollowTheKey()
{
    // The same device seen through two producers has one key, so one number.
    SimFixture sim;
    QVERIFY(sim.installProducer("DoVISimulator.cti"));
    QVERIFY(sim.installProducer("DoVISecond.cti"));
    QVERIFY(sim.addShippedDevice("camera_a"));
    QVERIFY(sim.addShippedDevice("camera_b"));
    CInterface* p = nullptr;
    QCOMPARE(NXACreateInstance(NXA_CAMERA_INTERFACE, &p), 0);
    auto* cam = dynamic_cast<CCamInterface*>(p);
    QList<int> numbers;
    for (const char* producer : {"DoVISimulator.cti", "DoVISecond.cti"}) {
        DeviceInfoList list{};
        QCOMPARE(cam->EnumDevices(&list, producer), 0);
        QCOMPARE(list.nCount, 2u);
        for (quint32 i = 0; i < list.nCount; ++i) {
            const DeviceInfo copy = *list.pItems[i];
            numbers << DeviceDiscovery::AssignDeviceNumber(copy, copy.nKeyNumber);
        }
    }
    NXAReleaseInstance(p);
    QCOMPARE(numbers.at(0), numbers.at(2));
    QCOMPARE(numbers.at(1), numbers.at(3));
    QCOMPARE(numbers.at(1), numbers.at(0) + 1);

    // Same text, other key number: another device. Numbers are never reused.
    const DeviceInfo r = Record("DoVI-SIM-A-2040", 7, false, "x", "", "");
    const int n = DeviceDiscovery::AssignDeviceNumber(r, 7);
    QVERIFY(n > numbers.at(1));
    QCOMPARE(DeviceDiscovery::AssignDeviceNumber(r, 7), n);
}

void TestDiscovery::labels_data()
{
    QTest::addColumn<bool>("useAlt");
    QTest::addColumn<QByteArray>("alt");
    QTest::addColumn<QString>("label");
    QTest::newRow("alternative name") << true << QByteArray("Station 3 Top") << "Station 3 Top (SA2040001)";
    QTest::newRow("UTF-8 alternative name") << true << QByteArray("工位三") << QString::fromUtf8("工位三 (SA2040001)");
    QTest::newRow("flag set, empty name") << true << QByteArray() << "DV-EC2040";
    QTest::newRow("flag clear") << false << QByteArray("Station 3 Top") << "DV-EC2040";
}

void TestDiscovery::labels()
{
    QFETCH(bool, useAlt);
    QFETCH(QByteArray, alt);
    QFETCH(QString, label);
    QCOMPARE(DeviceDiscovery::DeviceLabel(Record("k", 1, useAlt, "DV-EC2040", "SA2040001", alt.constData())), label);
}

void TestDiscovery::windowListsEveryProducersDevices()
{
    SimFixture sim;
    QVERIFY(sim.installProducer("DoVISimulator.cti"));
    QVERIFY(sim.installProducer("dovisecond.cti"));
    QVERIFY(sim.addShippedDevice("camera_a"));
    QVERIFY(sim.addShippedDevice("sensor_c"));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(".* skipped: already listed through .*"));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(".* skipped: already listed through .*"));
    SaltireDlg dlg;
    auto* pCombo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    QVERIFY(pCombo);
    QTRY_VERIFY(pCombo->isEnabled());
    // Both producers reach the same two devices: each is listed once.
    const QStringList one{"Station 3 Top (SA2040001)", "Dock Light (SC0100042)"};
    QCOMPARE(ComboTexts(pCombo), one);
    QCOMPARE(pCombo->currentIndex(), 0);
}

void TestDiscovery::noProducerFolderGivesAnEmptySelector()
{
    QTemporaryDir dir;
    qputenv("KESTREL_COMMON_FILES_DIR", dir.filePath("nothing-here").toLocal8Bit());
    SaltireDlg dlg;
    auto* pCombo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    // Disabled from construction until the enumeration has reported back.
    QTRY_VERIFY(pCombo->isEnabled());
    QCOMPARE(pCombo->count(), 0);
}

// Producers of the GenTL search path (GENICAM_GENTL64_PATH) are used beside ours, each file once and each
// device once.
void TestDiscovery::genTLSearchPath_data()
{
    QTest::addColumn<bool>("ours");     // our producer in the producers' folder too
    QTest::addColumn<QString>("path");  // %1: the folder holding a vendor's copy
    QTest::addColumn<int>("producers");
    QTest::newRow("a vendor's producer") << false << "%1" << 1;
    QTest::newRow("the same folder twice") << false << "%1:%1" << 1;
    QTest::newRow("ours and the vendor's") << true << "%1" << 2;
    QTest::newRow("a missing folder beside") << false << "/no/such/folder:%1" << 1;
}

void TestDiscovery::genTLSearchPath()
{
    QFETCH(bool, ours);
    QFETCH(QString, path);
    QFETCH(int, producers);
    SimFixture sim;
    if (ours)
        QVERIFY(sim.installProducer());
    QVERIFY(sim.addShippedDevice("camera_a"));
    QTemporaryDir vendor;
    QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, vendor.filePath("VendorGEV.cti")));
    qputenv("GENICAM_GENTL64_PATH", path.arg(vendor.path()).toLocal8Bit());
    if (path.contains("/no/such"))
        QTest::ignoreMessage(QtWarningMsg, "GenTL search path folder /no/such/folder is missing or unreadable: skipped");
    if (ours)
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(".*VendorGEV.cti skipped: already listed through DoVISimulator.cti"));
    const QStringList files = DeviceDiscovery::AllProducerFiles();
    QCOMPARE(files.size(), producers);
    QVERIFY(files.last().endsWith("/VendorGEV.cti"));
    QCOMPARE(ListedKeys(), QStringList{"DoVI-SIM-A-2040"});
    qunsetenv("GENICAM_GENTL64_PATH");
}

// A producer that fails its start, its info queries, reports absurd sizes or hangs while listing is
// reported by name and skipped; ours beside it still lists.
void TestDiscovery::misbehavingProducersAreSkipped_data()
{
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<QString>("warning");
    QTest::newRow("GCInitLib fails") << QByteArray("InitLib = fail") << "GCInitLib of .*VendorBad.cti failed.*";
    QTest::newRow("info queries fail") << QByteArray("Info = fail")
                                       << "Producer .*VendorBad.cti answers the device info of .* skipped";
    QTest::newRow("absurd sizes") << QByteArray("HugeSizes = 1")
                                  << "Producer .*VendorBad.cti answers the device info of .* skipped";
    QTest::newRow("slow listing") << QByteArray("SlowList = 8000")
                                  << "Producer .*VendorBad.cti did not list its devices within 5000 ms: skipped";
}

void TestDiscovery::misbehavingProducersAreSkipped()
{
    QFETCH(QByteArray, faults);
    QFETCH(QString, warning);
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    QTemporaryDir vendor;
    QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, vendor.filePath("VendorBad.cti")));
    QFile file(vendor.filePath("VendorBad.cti.faults"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(faults + "\n");
    file.close();
    // Our producer alone first, on this machine as loaded as it is now: the misbehaving one may add its
    // 5 s guard at most, and a margin.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(ListedKeys(), QStringList{"DoVI-SIM-A-2040"});
    const qint64 nAlone = clock.restart();
    qputenv("GENICAM_GENTL64_PATH", vendor.path().toLocal8Bit());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    QCOMPARE(ListedKeys(), QStringList{"DoVI-SIM-A-2040"});
    QVERIFY2(clock.elapsed() < nAlone + 7000, qPrintable(QString("%1 ms, alone %2 ms").arg(clock.elapsed()).arg(nAlone)));
    qunsetenv("GENICAM_GENTL64_PATH");
}

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
