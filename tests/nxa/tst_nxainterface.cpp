#include "nxainterface.h"
#include "gentl.h"
#include "simfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

QByteArray text(const unsigned char* p, int size)
{
    return QByteArray(reinterpret_cast<const char*>(p), int(qstrnlen(reinterpret_cast<const char*>(p), size)));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<uint> supported(const EnumValue& v)
{
    QList<uint> list;
    for (uint i = 0; i < v.nCount; ++i)
        list << v.nSupportValue[i];
    return list;
}

struct EventSink {
    std::mutex mutex;
    std::vector<EventRecord> records;
    std::atomic<bool> bClosed{false};
    std::atomic<int> nLate{0};

    static void callback(EventRecord* record, void* user)
    {
        auto* self = static_cast<EventSink*>(user);
        if (self->bClosed)
            ++self->nLate;
        std::lock_guard<std::mutex> lock(self->mutex);
        self->records.push_back(*record);
    }
    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(records.size());
    }
};

// The notification of the first event of the first category and channel, or -1 when it cannot be read.
int FirstEventNotification(CCamInterface* cam)
{
    EnumValue v{};
    if (cam->SetEnumValue("EventCategory", 0) || cam->SetEnumValue("ChannelSelector", 0)
        || cam->SetEnumValue("EventSelector", 0) || cam->GetEnumValue("EventNotification", &v, true))
        return -1;
    return int(v.nCurValue);
}

} // namespace

class TestNxaInterface : public QObject
{
    Q_OBJECT

private slots:
    void createInstance();
    void enumerateDevices();
    void refuseProducerFile_data();
    void refuseProducerFile();
    void openFailure();
    void descriptions_data();
    void descriptions();
    void enumValues();
    void injectedFaults();
    void events_data();
    void events();
    void concurrentAccess();
    void constantRegistersAreReadOnce();
    void changesBehindTheBackAreSeen();
    void eventRatesOfTheDeviceFile_data();
    void eventRatesOfTheDeviceFile();
    void stateFileProblems_data();
    void stateFileProblems();
};

void TestNxaInterface::createInstance()
{
    CInterface* p = reinterpret_cast<CInterface*>(0x1);
    QCOMPARE(NXACreateInstance(7, &p), int(GC_ERR_INVALID_PARAMETER));
    QVERIFY(!p);
    QCOMPARE(NXAReleaseInstance(nullptr), int(GC_ERR_INVALID_HANDLE));
    SimDevice inst;
    QVERIFY(inst.cam);
    QCOMPARE(inst.cam->InterfaceType(), NXA_CAMERA_INTERFACE);
}

void TestNxaInterface::enumerateDevices()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    QVERIFY(sim.addShippedDevice("camera_b"));
    QVERIFY(sim.addShippedDevice("sensor_c"));
    SimDevice inst;
    DeviceInfoList list{};
    QCOMPARE(inst.cam->EnumDevices(&list, "DoVISimulator.cti"), 0);
    QCOMPARE(list.nCount, 3u);

    // Read the records as raw bytes at the documented offsets.
    const auto* a = reinterpret_cast<const unsigned char*>(list.pItems[0]);
    QCOMPARE(text(a + 0, 64), QByteArray("DoVI-SIM-A-2040"));
    QCOMPARE(a[148], uchar(1));
    QCOMPARE(text(a + 149, 64), QByteArray("DV-EC2040 Event Camera"));
    QCOMPARE(text(a + 213, 256), QByteArray("SA2040001"));
    QCOMPARE(text(a + 469, 91), QByteArray("Station 3 Top"));
    quint32 keyNumber = 0, deviceNumber = 1;
    std::memcpy(&keyNumber, a + 136, 4);
    std::memcpy(&deviceNumber, a + 64, 4);
    QVERIFY(keyNumber != 0);
    QCOMPARE(deviceNumber, 0u);

    const DeviceInfo* b = list.pItems[1];
    QCOMPARE(text(b->szKey, 64), QByteArray("DoVI-SIM-B-8000"));
    QCOMPARE(b->bUseAltName, uint8_t(0));
    QVERIFY(b->nKeyNumber != keyNumber);
    QCOMPARE(text(reinterpret_cast<const unsigned char*>(list.pItems[2]->szAltName), 91), QByteArray("Dock Light"));

    // A second enumeration on another instance reports the same keys.
    SimDevice other;
    DeviceInfoList again{};
    QCOMPARE(other.cam->EnumDevices(&again, "DoVISimulator.cti"), 0);
    QCOMPARE(again.pItems[0]->nKeyNumber, keyNumber);
}

void TestNxaInterface::refuseProducerFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content"); // "cti" copies the simulator, "lib" a library without GenTL
    QTest::addColumn<int>("expected");
    QTest::newRow("wrong extension") << "DoVISimulator.so" << QByteArray("cti") << int(GC_ERR_INVALID_PARAMETER);
    QTest::newRow("missing file") << "DoVIMissing.cti" << QByteArray() << int(GC_ERR_NOT_AVAILABLE);
    QTest::newRow("path, not a name") << "../DoVISimulator.cti" << QByteArray("cti") << int(GC_ERR_INVALID_PARAMETER);
    QTest::newRow("text file") << "DoVIText.cti" << QByteArray("not a library\n") << int(GC_ERR_NOT_IMPLEMENTED);
    QTest::newRow("library without GenTL") << "DoVIOther.cti" << QByteArray("lib") << int(GC_ERR_NOT_IMPLEMENTED);
    // Its first 4 KiB only: mapping it would fault inside the loader.
    QTest::newRow("producer cut short") << "DoVICut.cti" << QByteArray("cut") << int(GC_ERR_NOT_IMPLEMENTED);
}

void TestNxaInterface::refuseProducerFile()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(int, expected);
    SimFixture sim;
    QVERIFY(sim.addShippedDevice("camera_a"));
    const QString target = sim.producerFolder() + "/" + fileName;
    if (content == "cti")
        QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, target));
    else if (content == "lib")
        QVERIFY(QFile::copy(SALTIRE_PLAIN_LIBRARY, target));
    else if (content == "cut") {
        QFile in(SALTIRE_DOVISIM_CTI);
        QFile out(target);
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(in.read(4096));
    }
    else if (!content.isEmpty()) {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    SimDevice inst;
    DeviceInfoList list{};
    list.nCount = 99;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*"));
    QCOMPARE(inst.cam->EnumDevices(&list, fileName.toLocal8Bit().constData()), expected);
    QCOMPARE(list.nCount, 0u);
}

void TestNxaInterface::openFailure()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a", "[Faults]\nOpen=-1005\n"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Opening DoVI-SIM-A-2040 failed.*"));
    SimDevice inst("DoVI-SIM-A-2040");
    QCOMPARE(inst.rc, int(GC_ERR_ACCESS_DENIED));
    QVERIFY(!inst.handle);
    EnumValue v{};
    QCOMPARE(inst.cam->GetEnumValue("EventCategory", &v, true), int(GC_ERR_NOT_INITIALIZED));
}

void TestNxaInterface::descriptions_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("extra");
    QTest::addColumn<bool>("bTranslation");
    QTest::addColumn<bool>("bEngine");
    QTest::newRow("zipped in device memory") << "camera_a" << QByteArray("DoVI-SIM-A-2040") << QByteArray() << true << true;
    QTest::newRow("plain in device memory") << "camera_b" << QByteArray("DoVI-SIM-B-8000") << QByteArray() << true << true;
    QTest::newRow("file URL") << "sensor_c" << QByteArray("DoVI-SIM-C-0100") << QByteArray() << false << true;
    QTest::newRow("translation absent") << "camera_a" << QByteArray("DoVI-SIM-A-2040")
                                        << QByteArray("[Faults]\nTranslation=absent\n") << false << true;
    QTest::newRow("unloadable") << "camera_b" << QByteArray("DoVI-SIM-B-8000")
                                << QByteArray("[Faults]\nDescription=unloadable\n") << true << false;
}

void TestNxaInterface::descriptions()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, id);
    QFETCH(QByteArray, extra);
    QFETCH(bool, bTranslation);
    QFETCH(bool, bEngine);
    SimFixture sim;
    QVERIFY(sim.install(device, extra));
    if (!bEngine)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*not a usable GenICam description"));
    SimDevice inst(id);
    QVERIFY(inst.handle);

    QByteArray expected = readFile(sim.devicesFolder() + "/" + device + ".xml");
    if (!bEngine)
        expected.truncate(expected.size() / 2);
    unsigned length = 0;
    char small[16];
    QCOMPARE(inst.cam->GetXmlDescription(small, sizeof small, &length), int(GC_ERR_BUFFER_TOO_SMALL));
    QVERIFY(length >= sizeof small);
    QByteArray buffer(int(length), '\x7f');
    QCOMPARE(inst.cam->GetXmlDescription(buffer.data(), length, &length), 0);
    QVERIFY(length < unsigned(buffer.size()));
    QCOMPARE(QByteArray(buffer.constData()), expected);
    QCOMPARE(length, unsigned(expected.size()));

    QByteArray tr(0x10000, '\0');
    const int rc = inst.cam->GetXmlTranslation(tr.data(), unsigned(tr.size()), &length);
    if (bTranslation) {
        QCOMPARE(rc, 0);
        QCOMPARE(QByteArray(tr.constData()), readFile(sim.devicesFolder() + "/" + device + "_zh.xml"));
    } else {
        QCOMPARE(rc, int(GC_ERR_NOT_AVAILABLE));
        QCOMPARE(length, 0u);
        QCOMPARE(tr.at(0), '\0');
    }

    IntValue iv{};
    QCOMPARE(inst.cam->GetIntValue(device == "sensor_c" ? "DeviceTimestampIncrement" : "EventCategoryReg", &iv, true),
             bEngine ? 1 : 0);
    QCOMPARE(inst.cam->CloseDevice(inst.handle), 0);
    QCOMPARE(inst.cam->CloseDevice(inst.handle), int(GC_ERR_INVALID_HANDLE));
}

void TestNxaInterface::enumValues()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    SimDevice inst("DoVI-SIM-B-8000");
    QVERIFY(inst.handle);

    EnumValue v{};
    QCOMPARE(inst.cam->GetEnumValue("EventCategory", &v, true), 0);
    QCOMPARE(supported(v), (QList<uint>{0, 1, 2}));
    QCOMPARE(inst.cam->SetEnumValue("EventCategory", 0), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventIOType", &v, true), 0);
    QCOMPARE(supported(v), (QList<uint>{0, 1, 2, 3}));
    QCOMPARE(inst.cam->SetEnumValue("EventIOType", 2), 0); // D485
    QCOMPARE(inst.cam->SetEnumValue("ChannelSelector", 1), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventSelector", &v, true), 0);
    QCOMPARE(v.nCount, 42u);
    for (uint i = 1; i < v.nCount; ++i)
        QVERIFY(v.nSupportValue[i] == v.nSupportValue[i - 1] + 1); // device order
    const uint first = v.nSupportValue[0];

    // The selection follows the outer selectors: no stale list after a change.
    QCOMPARE(inst.cam->SetEnumValue("EventIOType", 0), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventSelector", &v, true), 0);
    QCOMPARE(v.nCount, 3u);
    QCOMPARE(inst.cam->SetEnumValue("EventSelector", first), int(GC_ERR_NOT_AVAILABLE));
    QCOMPARE(inst.cam->SetEnumValue("EventSelector", 999), int(GC_ERR_INVALID_VALUE));
    QCOMPARE(inst.cam->SetEnumValue("NoSuchFeature", 0), int(GC_ERR_INVALID_ID));
    QCOMPARE(inst.cam->GetEnumValue("EventCategoryReg", &v, true), int(GC_ERR_INVALID_PARAMETER));

    // Every entry, available or not, with the flag off.
    QCOMPARE(inst.cam->GetEnumValue("EventCategory", &v, false), 0);
    QCOMPARE(supported(v), (QList<uint>{0, 1, 2}));

    // Notification states are kept per selector combination.
    QCOMPARE(inst.cam->SetEnumValue("ChannelSelector", 0), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventSelector", &v, true), 0);
    const QList<uint> events = supported(v);
    QCOMPARE(inst.cam->SetEnumValue("EventSelector", events.at(1)), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventNotification", 1), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventSelector", events.at(2)), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventNotification", &v, true), 0);
    QCOMPARE(v.nCurValue, 0u);
    QCOMPARE(inst.cam->SetEnumValue("EventSelector", events.at(1)), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventNotification", &v, true), 0);
    QCOMPARE(v.nCurValue, 1u);

    // Entries by name, in document order, with what the device says of each now.
    NXAEnumEntryInfo entries[8] = {};
    uint32_t count = 0;
    QCOMPARE(NXAGetEnumEntries(inst.cam, "EventIOType", entries, 2, &count), int(GC_ERR_BUFFER_TOO_SMALL));
    QCOMPARE(count, 4u);
    QCOMPARE(inst.cam->SetEnumValue("EventCategory", 1), 0); // no IO lines for system events
    QCOMPARE(NXAGetEnumEntries(inst.cam, "EventIOType", entries, 8, &count), 0);
    QStringList seen;
    for (uint32_t i = 0; i < count; ++i)
        seen << QString("%1/%2/%3/%4/%5").arg(entries[i].node.szName, entries[i].node.szDisplayName)
                    .arg(entries[i].node.nVisibility).arg(entries[i].nValue).arg(entries[i].bAvailable);
    QCOMPARE(seen, (QStringList{"Line0/Line 0/0/0/0", "Line1/Line 1/0/1/0", "D485/D485/0/2/0", "Line3/Line 3/2/3/0"}));
    QCOMPARE(NXAGetEnumEntries(inst.cam, "EventCategoryReg", entries, 8, &count), int(GC_ERR_INVALID_PARAMETER));
    NXANodeInfo category{};
    QCOMPARE(NXAGetFeatureCategory(inst.cam, "EventSelector", &category), 0);
    QCOMPARE(QString(category.szName), QString("EventControl"));
    QCOMPARE(NXAGetFeatureCategory(inst.cam, "EventCategoryReg", &category), int(GC_ERR_NOT_AVAILABLE));
    QCOMPARE(NXAGetFeatureCategory(inst.cam, "NoSuchFeature", &category), int(GC_ERR_INVALID_ID));

    IntValue iv{};
    QCOMPARE(inst.cam->GetIntValue("DeviceTimestampTickFrequency", &iv, true), 1);
    QCOMPARE(iv.nCurValue, 125000000);
    QCOMPARE(inst.cam->GetIntValue("GevTimestampTickFrequency", &iv, true), 0);
}

void TestNxaInterface::injectedFaults()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a", "[Faults]\n"
                                             "SetEnum1=EventNotification, 1, EventCategory=0;ChannelSelector=1, -1005\n"
                                             "SetEnum2=EventCategory, 2, *, -10042\n"
                                             "GetEnum1=EventSelector, EventCategory=1, -1010\n",
                                 SimFixture::Uncached));
    SimDevice inst("DoVI-SIM-A-2040");
    QVERIFY(inst.handle);
    EnumValue v{};
    QCOMPARE(inst.cam->SetEnumValue("EventCategory", 2), -10042);
    QCOMPARE(inst.cam->SetEnumValue("EventCategory", 0), 0);
    QCOMPARE(inst.cam->SetEnumValue("ChannelSelector", 1), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventSelector", &v, true), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventSelector", v.nSupportValue[0]), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventNotification", 0), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventNotification", 1), int(GC_ERR_ACCESS_DENIED));
    QCOMPARE(inst.cam->GetEnumValue("EventNotification", &v, true), 0);
    QCOMPARE(v.nCurValue, 0u); // the refused write changed nothing
    QCOMPARE(inst.cam->SetEnumValue("ChannelSelector", 0), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventNotification", 1), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventCategory", 1), 0);
    QCOMPARE(inst.cam->GetEnumValue("EventSelector", &v, true), int(GC_ERR_IO));
}

// The worker walks selectors while the event thread reads the tick frequency on the same device.
void TestNxaInterface::concurrentAccess()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    SimDevice inst("DoVI-SIM-B-8000");
    QVERIFY(inst.handle);
    std::atomic<bool> bStop{false};
    std::atomic<int> nWrongTicks{0}, nReads{0};
    std::thread reader([&] {
        while (!bStop) {
            IntValue iv{};
            if (inst.cam->GetIntValue("DeviceTimestampTickFrequency", &iv, true) != 1 || iv.nCurValue != 125000000)
                ++nWrongTicks;
            ++nReads;
        }
    });
    int nWrong = 0;
    for (int round = 0; round < 60; ++round) {
        const uint io = uint(round % 3), ch = uint(round % 3), state = uint(round % 2);
        EnumValue v{};
        if (inst.cam->SetEnumValue("EventCategory", 0) || inst.cam->SetEnumValue("EventIOType", io)
            || inst.cam->SetEnumValue("ChannelSelector", ch) || inst.cam->GetEnumValue("EventSelector", &v, true)) {
            ++nWrong;
            continue;
        }
        const EnumValue events = v;
        for (uint i = 0; i < events.nCount; ++i) {
            if (inst.cam->SetEnumValue("EventSelector", events.nSupportValue[i])
                || inst.cam->SetEnumValue("EventNotification", state)
                || inst.cam->GetEnumValue("EventNotification", &v, true) || v.nCurValue != state)
                ++nWrong;
        }
    }
    bStop = true;
    reader.join();
    QCOMPARE(nWrong, 0);
    QCOMPARE(nWrongTicks.load(), 0);
    QVERIFY(nReads > 0);
}

// A read-only register at a fixed address (a tick frequency) crosses the transport once; others every time.
void TestNxaInterface::constantRegistersAreReadOnce()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a", QByteArray(), SimFixture::Uncached));
    SimDevice inst("DoVI-SIM-A-2040");
    QVERIFY(inst.handle);
    IntValue iv{};
    QCOMPARE(inst.cam->GetIntValue("GevTimestampTickFrequency", &iv, true), 1);
    QVERIFY(sim.rewriteShippedDevice("camera_a", "[Faults]\nGetEnum1=TickFrequency, *, -1010\n"
                                                 "GetEnum2=EventCategory, *, -1010\n"));
    EnumValue v{};
    QTRY_COMPARE(inst.cam->GetEnumValue("EventCategory", &v, true), int(GC_ERR_IO)); // the faults are armed
    iv = IntValue{};
    QCOMPARE(inst.cam->GetIntValue("GevTimestampTickFrequency", &iv, true), 1);
    QCOMPARE(iv.nCurValue, 1000000000);
    QCOMPARE(inst.cam->GetIntValue("EventCategoryReg", &iv, true), 0);
}

// Another client writes the device between our operations. A register the description lets change
// (NoCache: the notification) is read again; a selector (WriteThrough) is written again even when the
// engine holds the same value, so our writes land where they should.
void TestNxaInterface::changesBehindTheBackAreSeen()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a")); // ExposureStart_0 (slot 0, 0x10000) is on
    SimDevice inst("DoVI-SIM-A-2040");
    QVERIFY(inst.handle);
    EnumValue v{};
    QCOMPARE(FirstEventNotification(inst.cam), 1);

    // The other client switches the event off and moves the event selector to event 5.
    QVERIFY(sim.rewriteShippedDevice("camera_a", "[Poke]\n0x10000=0\n0x100C=5\n"));
    QTRY_VERIFY(inst.cam->GetEnumValue("EventNotification", &v, true) == 0 && v.nCurValue == 0);

    QCOMPARE(inst.cam->SetEnumValue("EventSelector", 0), 0);
    QCOMPARE(inst.cam->SetEnumValue("EventNotification", 1), 0);
    QCOMPARE(inst.cam->CloseDevice(inst.handle), 0);
    const QByteArray memory = readFile(sim.stateFolder() + "/DoVI-SIM-A-2040.state");
    QVERIFY(memory.size() > 0x10020);
    QCOMPARE(int(memory.at(0x100C)), 0);      // the selector was written back
    QCOMPARE(int(memory.at(0x10000)), 1);     // event 0 switched on again
    QCOMPARE(int(memory.at(0x10000 + 4 * 5)), 0); // event 5 untouched
}

void TestNxaInterface::eventRatesOfTheDeviceFile_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("listed");
    QTest::newRow("half a hertz") << QByteArray("[Events]\nX=0, 0x9000, 0.5") << true;
    QTest::newRow("off") << QByteArray("[Events]\nX=0, 0x9000, 0") << true;
    QTest::newRow("not a number") << QByteArray("[Events]\nX=0, 0x9000, nan") << false;
    QTest::newRow("infinite") << QByteArray("[Events]\nX=0, 0x9000, inf") << false;
    QTest::newRow("too slow for the clock") << QByteArray("[Events]\nX=0, 0x9000, 1e-300") << false;
    QTest::newRow("negative") << QByteArray("[Events]\nX=0, 0x9000, -1") << false;
    QTest::newRow("too fast") << QByteArray("[Events]\nX=0, 0x9000, 1e9") << false;
    // Addresses before the register memory: as a fault's context register and as the events' notifications.
    QTest::newRow("negative context register") << QByteArray("[Registers]\nChannelSelector=-3\n[Faults]\n"
                                                             "GetEnum1=EventNotification, ChannelSelector=1, -1005")
                                               << false;
    QTest::newRow("negative notification register") << QByteArray("[Registers]\nEventNotification=-2:0x10000") << false;
    QTest::newRow("negative memory address") << QByteArray("[Memory]\n-3=1") << false;
    QTest::newRow("register of no size") << QByteArray("[Registers]\nEventCategory=0x1000:0") << false;
}

// A device file with an unusable value is refused like any other broken device file.
void TestNxaInterface::eventRatesOfTheDeviceFile()
{
    QFETCH(QByteArray, lines);
    QFETCH(bool, listed);
    SimFixture sim;
    QVERIFY(sim.install("camera_a", lines + "\n"));
    SimDevice inst;
    DeviceInfoList list{};
    inst.cam->EnumDevices(&list, "DoVISimulator.cti");
    QCOMPARE(list.nCount, listed ? 1u : 0u);
}

// Events reach the callback with their names and ids, from the record or from the producer's answers the GenTL
// way, their time stamps in order, none dropped, and none after the close.
void TestNxaInterface::events_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("info"); // the producer's answers to the event data queries, if any
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("eventId");
    QTest::addColumn<bool>("valueTimestamp"); // the time stamp from the producer's value, else the record's
    QTest::newRow("from the record") << "camera_a" << QByteArray() << QByteArray("ExposureStart_0") << 0x9000 << false;
    // camera_b's records say 0x9000 and the device's tick count.
    QTest::newRow("id and value answered") << "camera_b" << QByteArray("0x9001, 123456789")
                                           << QByteArray("Line0FallingEdge_0") << 0x9001 << true;
    // A producer whose values are shorter than an event header: its id still names the event.
    QTest::newRow("value too short") << "camera_b" << QByteArray("0x9001, 123456789, 8")
                                     << QByteArray("Line0FallingEdge_0") << 0x9001 << false;
}

void TestNxaInterface::events()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, info);
    QFETCH(QByteArray, name);
    QFETCH(int, eventId);
    QFETCH(bool, valueTimestamp);
    SimFixture sim;
    QVERIFY(sim.install(device, info.isEmpty() ? QByteArray() : "[Device]\nEventDataInfo = " + info + "\n"));
    auto sink = std::make_unique<EventSink>();
    {
        SimDevice inst(device == "camera_a" ? "DoVI-SIM-A-2040" : "DoVI-SIM-B-8000");
        QVERIFY(inst.handle);
        QCOMPARE(inst.cam->RegisterEventCallback(&EventSink::callback, sink.get()), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sink->count() >= 3, 10000);
        NXADeviceStatus status{};
        QCOMPARE(NXAGetDeviceStatus(inst.cam, &status), 0);
        QCOMPARE(status.nDropped, quint64(0));
        QCOMPARE(inst.cam->CloseDevice(inst.handle), 0);
        sink->bClosed = true;
    }
    std::lock_guard<std::mutex> lock(sink->mutex);
    const EventRecord& first = sink->records.at(0);
    QCOMPARE(QByteArray(first.szEventName), name);
    QCOMPARE(first.nEventId, quint16(eventId));
    QCOMPARE(((quint64(first.nTimestampHigh) << 32) | first.nTimestampLow) == quint64(123456789), valueTimestamp);
    quint64 last = 0;
    for (const EventRecord& r : sink->records) {
        if (r.nEventId != eventId)
            continue;
        const quint64 ticks = (quint64(r.nTimestampHigh) << 32) | r.nTimestampLow;
        QVERIFY(ticks >= last);
        last = ticks;
    }
    QVERIFY(last > 0);
    QCOMPARE(sink->nLate.load(), 0);
}

// The simulated camera keeps its registers in the user's data folder; a state file it cannot use is
// replaced, one it cannot write is reported, and the device opens either way.
void TestNxaInterface::stateFileProblems_data()
{
    QTest::addColumn<QString>("problem");
    QTest::newRow("cut short") << "cut";
    QTest::newRow("folder not writable") << "unwritable";
}

void TestNxaInterface::stateFileProblems()
{
    QFETCH(QString, problem);
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    const QString state = sim.stateFolder() + "/DoVI-SIM-A-2040.state";
    if (problem == "cut") {
        QVERIFY(QDir().mkpath(sim.stateFolder()));
        QFile f(state);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a memory");
    } else {
        QFile blocker(sim.stateFolder()); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    SimDevice inst("DoVI-SIM-A-2040");
    QVERIFY(inst.handle);
    QCOMPARE(FirstEventNotification(inst.cam), 1); // the device file's initial memory
    QCOMPARE(inst.cam->CloseDevice(inst.handle), 0);
    if (problem == "cut")
        QCOMPARE(QFileInfo(state).size(), qint64(0x100000)); // replaced by the whole memory
    else
        QVERIFY(QFileInfo(sim.stateFolder()).isFile());
}

QTEST_GUILESS_MAIN(TestNxaInterface)
#include "tst_nxainterface.moc"
