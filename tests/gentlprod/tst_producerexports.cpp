#include "../gige/gentlclient.h"
#include "simfixture.h"

#include <QDir>
#include <QLibrary>
#include <QtTest>

// What any GenTL consumer may rely on in our producers, checked on the built libraries.
class TestProducerExports : public QObject
{
    Q_OBJECT

private slots:
    void exportsEveryFunction_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("simulator") << QString(SALTIRE_DOVISIM_CTI);
        QTest::newRow("gige") << QString(SALTIRE_DOVIGIGE_CTI);
    }

    void exportsEveryFunction()
    {
        QFETCH(QString, file);
        QLibrary library(file);
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        QStringList missing;
#define SALTIRE_CHECK_EXPORT(name) \
    if (!library.resolve(#name))   \
        missing << QStringLiteral(#name);
        GENTL_PRODUCER_FUNCTIONS(SALTIRE_CHECK_EXPORT)
#undef SALTIRE_CHECK_EXPORT
        QCOMPARE(missing, QStringList());

        GenTLClient gentl(file);
        QVERIFY(gentl.Load());
        QCOMPARE(gentl.DSClose(nullptr), GC_ERR_SUCCESS);
        uint32_t n = 0;
        QCOMPARE(gentl.DevGetNumDataStreams(reinterpret_cast<DEV_HANDLE>(&n), &n), GC_ERR_INVALID_HANDLE);
        QCOMPARE(gentl.GCInitLib(), GC_ERR_RESOURCE_IN_USE);
    }

    // A consumer that listed the interfaces, closed the system and opened it again opens an interface and a
    // device it knows without listing them on the new handle (Aravis's GenTL consumer does so).
    void reopenedSystemOpensWhatItListed_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("interface");
        QTest::addColumn<QByteArray>("device");
        QTest::newRow("simulator") << "DoVISimulator.cti" << QByteArray("DoVISim0") << QByteArray("DoVI-SIM-B-8000");
        QTest::newRow("gige") << QString(SALTIRE_DOVIGIGE_CTI) << QByteArray("lo") << QByteArray();
    }
    void reopenedSystemOpensWhatItListed()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, interface);
        QFETCH(QByteArray, device);
        SimFixture sim;
        QVERIFY(sim.install("camera_b"));
        GenTLClient gentl(QDir::isAbsolutePath(file) ? file : sim.producerFolder() + "/" + file);
        QVERIFY(gentl.Load());
        IF_HANDLE hIface = gentl.OpenInterface(interface);
        QVERIFY(hIface);
        QCOMPARE(gentl.IFClose(hIface), GC_ERR_SUCCESS);
        QCOMPARE(gentl.TLClose(gentl.hSystem), GC_ERR_SUCCESS);
        gentl.hSystem = nullptr;
        QCOMPARE(gentl.TLOpen(&gentl.hSystem), GC_ERR_SUCCESS);
        QCOMPARE(gentl.TLOpenInterface(gentl.hSystem, interface.constData(), &hIface), GC_ERR_SUCCESS);
        if (!device.isEmpty()) {
            DEV_HANDLE hDevice = nullptr;
            QCOMPARE(gentl.IFOpenDevice(hIface, device.constData(), DEVICE_ACCESS_EXCLUSIVE, &hDevice), GC_ERR_SUCCESS);
            QCOMPARE(gentl.DevClose(hDevice), GC_ERR_SUCCESS);
        }
        IF_HANDLE hNone = nullptr;
        QCOMPARE(gentl.TLOpenInterface(gentl.hSystem, "NoSuchInterface", &hNone), GC_ERR_INVALID_ID);
        QCOMPARE(gentl.TLOpenInterface(gentl.hSystem, interface.constData(), &hNone), GC_ERR_RESOURCE_IN_USE);
    }

    // A remote-device event's data value is the whole record, so that address 8 of an event port is the
    // big-endian time stamp; the numeric id and the id text keep their answers.
    void eventDataInfo()
    {
        SimFixture sim;
        QVERIFY(sim.install("camera_b")); // sends an event at 10 Hz from the start
        GenTLClient gentl(sim.producerFolder() + "/DoVISimulator.cti");
        QVERIFY(gentl.Load());
        IF_HANDLE hIface = gentl.OpenInterface("DoVISim0");
        QVERIFY(hIface);
        DEV_HANDLE hDevice = nullptr;
        QCOMPARE(gentl.IFOpenDevice(hIface, "DoVI-SIM-B-8000", DEVICE_ACCESS_EXCLUSIVE, &hDevice), GC_ERR_SUCCESS);
        uint32_t nStreams = 9;
        QCOMPARE(gentl.DevGetNumDataStreams(hDevice, &nStreams), GC_ERR_SUCCESS);
        QCOMPARE(nStreams, 0u);
        // Port calls are counted per open device.
        auto portCount = [&](DEVICE_INFO_CMD cmd) {
            return GenTLClient::Value<uint64_t>(gentl.DevGetInfo, hDevice, cmd);
        };
        QCOMPARE(portCount(DEVICE_INFO_DOVI_PORT_READS), uint64_t(0));
        PORT_HANDLE hPort = nullptr;
        QCOMPARE(gentl.DevGetPort(hDevice, &hPort), GC_ERR_SUCCESS);
        uint32_t word = 0;
        size_t wordSize = sizeof word;
        QCOMPARE(gentl.GCReadPort(hPort, 0x1000, &word, &wordSize), GC_ERR_SUCCESS);
        QCOMPARE(gentl.GCReadPort(hPort, 0x1004, &word, &wordSize), GC_ERR_SUCCESS);
        QCOMPARE(gentl.GCWritePort(hPort, 0x1004, &word, &wordSize), GC_ERR_SUCCESS);
        QCOMPARE(portCount(DEVICE_INFO_DOVI_PORT_READS), uint64_t(2));
        QCOMPARE(portCount(DEVICE_INFO_DOVI_PORT_WRITES), uint64_t(1));
        // Stacked calls: every entry in order; a failing entry stops them and the count says where.
        auto writeStacked = reinterpret_cast<GC_ERROR (*)(PORT_HANDLE, PORT_REGISTER_STACK_ENTRY*, size_t*)>(
            QLibrary(sim.producerFolder() + "/DoVISimulator.cti").resolve("GCWritePortStacked"));
        auto readStacked = reinterpret_cast<GC_ERROR (*)(PORT_HANDLE, PORT_REGISTER_STACK_ENTRY*, size_t*)>(
            QLibrary(sim.producerFolder() + "/DoVISimulator.cti").resolve("GCReadPortStacked"));
        uint32_t values[2] = {0x11, 0x22};
        PORT_REGISTER_STACK_ENTRY writes[2] = {{0x1000, &values[0], 4}, {0x1008, &values[1], 4}};
        size_t nEntries = 2;
        QCOMPARE(writeStacked(hPort, writes, &nEntries), GC_ERR_SUCCESS);
        uint32_t back[3] = {};
        PORT_REGISTER_STACK_ENTRY reads[3] = {{0x1008, &back[0], 4}, {0x1000, &back[1], 4}, {0xFFFFFFF0, &back[2], 4}};
        nEntries = 3;
        QVERIFY(readStacked(hPort, reads, &nEntries) != GC_ERR_SUCCESS);
        QCOMPARE(nEntries, size_t(2));
        QCOMPARE(back[0], 0x22u);
        QCOMPARE(back[1], 0x11u);
        EVENT_HANDLE hEvent = nullptr;
        QCOMPARE(gentl.GCRegisterEvent(hDevice, EVENT_REMOTE_DEVICE, &hEvent), GC_ERR_SUCCESS);
        uint8_t rec[64] = {};
        size_t size = sizeof rec;
        QCOMPARE(gentl.EventGetData(hEvent, rec, &size, 5000), GC_ERR_SUCCESS);
        QCOMPARE(size, size_t(16));

        uint8_t value[64] = {};
        size_t valueSize = sizeof value;
        INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
        QCOMPARE(gentl.EventGetDataInfo(hEvent, rec, size, EVENT_DATA_VALUE, &type, value, &valueSize), GC_ERR_SUCCESS);
        QCOMPARE(type, INFO_DATATYPE_BUFFER);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(value), int(valueSize)),
                 QByteArray(reinterpret_cast<char*>(rec), int(size)));
        size_t small = 4;
        QCOMPARE(gentl.EventGetDataInfo(hEvent, rec, size, EVENT_DATA_VALUE, &type, value, &small),
                 GC_ERR_BUFFER_TOO_SMALL);
        QCOMPARE(small, size_t(16));
        uint64_t id = 0;
        size_t idSize = sizeof id;
        QCOMPARE(gentl.EventGetDataInfo(hEvent, rec, size, EVENT_DATA_NUMID, &type, &id, &idSize), GC_ERR_SUCCESS);
        QCOMPARE(id, uint64_t(0x9000));
        const QByteArray text = GenTLClient::Text(gentl.EventGetDataInfo, hEvent, rec, size, EVENT_DATA_ID);
        QCOMPARE(text, QByteArray("9000"));
        QCOMPARE(gentl.EventGetDataInfo(hEvent, rec, 8, EVENT_DATA_VALUE, &type, value, &valueSize),
                 GC_ERR_INVALID_BUFFER);
        QCOMPARE(gentl.DevClose(hDevice), GC_ERR_SUCCESS);
    }
};

QTEST_GUILESS_MAIN(TestProducerExports)
#include "tst_producerexports.moc"
