#include "devicediscovery.h"
#include "saltiredlg.h"
#include "simfixture.h"

#include "customcombobox.h"

#include <QSignalSpy>
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
    SaltireDlg dlg;
    auto* pCombo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    QVERIFY(pCombo);
    QTRY_COMPARE(pCombo->count(), 4);
    QVERIFY(pCombo->isEnabled());
    const QStringList one{"Station 3 Top (SA2040001)", "Dock Light (SC0100042)"};
    QCOMPARE(ComboTexts(pCombo), one + one);
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

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
