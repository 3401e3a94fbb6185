#include "rweventfeaturethread.h"

#include "channelitem.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"
#include "notificationreadfailures.h"
#include "simfixture.h"
#include "userlevelfilter.h"

#include "gentl.h"

#include <QFileInfo>
#include <QLibrary>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

using namespace Saltire;

namespace {

// The spy records on the worker's thread: it is read only once the worker has left run(), after the signal.
struct Run {
    explicit Run(RWEventFeatureThread& w) : worker(w), spy(&w, &RWEventFeatureThread::SigFinishRW) {}
    RWEventFeatureThread& worker;
    QSignalSpy spy;
    bool waitDone() { return QTest::qWaitFor([this] { return worker.isFinished(); }, 60000) && !spy.isEmpty(); }
    QList<QVariant> args() const { return spy.isEmpty() ? QList<QVariant>() : spy.first(); }
};

// A read (bRead) or an apply, waited for until the worker has left run(): the finishing signal's arguments
// (number, bRead, whether the device was opened), none when it did not come.
QList<QVariant> RunToTheEnd(RWEventFeatureThread& worker, const DeviceInfo& record, bool bRead)
{
    Run run(worker);
    worker.StartRW(&record, bRead);
    return run.waitDone() ? run.args() : QList<QVariant>();
}

QString Names(const QList<EventTypeItem*>& list)
{
    QStringList out;
    for (EventTypeItem* t : list)
        out << QString("%1:%2").arg(t->strDisplayName).arg(t->nState);
    return out.join(' ');
}

EventItem* FindEvent(const QList<ChannelItem*>& channels, const QString& name)
{
    for (ChannelItem* c : channels)
        for (EventItem* e : qAsConst(c->listEvent))
            if (e->strName == name)
                return e;
    return nullptr;
}

// The device's notification state of one event, through the worker's own instance.
int DeviceNotification(CCamInterface* cam, uint category, int io, uint channel, uint event)
{
    EnumValue v{};
    if (cam->SetEnumValue("EventCategory", category) || (io >= 0 && cam->SetEnumValue("EventIOType", uint(io)))
        || cam->SetEnumValue("ChannelSelector", channel) || cam->SetEnumValue("EventSelector", event)
        || cam->GetEnumValue("EventNotification", &v, true))
        return -1;
    return int(v.nCurValue);
}

// The simulated producer's port calls since it was loaded (the same library instance the worker uses).
quint64 PortCalls(const QString& producer)
{
    QLibrary library(QFileInfo(producer).canonicalFilePath());
    auto info = reinterpret_cast<PGCGetInfo>(library.resolve("GCGetInfo"));
    quint64 reads = 0, writes = 0;
    size_t size = sizeof reads;
    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
    if (!info || info(TL_INFO_DOVI_PORT_READS, &type, &reads, &size) != GC_ERR_SUCCESS
        || info(TL_INFO_DOVI_PORT_WRITES, &type, &writes, &size) != GC_ERR_SUCCESS)
        return 0;
    return reads + writes;
}

// One selector write per category, IO line, channel and event, and one notification access per event. A
// standard camera (its one channel "AllEvents") has no category or channel to select.
int Floor(const QList<EventTypeItem*>& types)
{
    int n = 0;
    auto channels = [&](const QList<ChannelItem*>& list) {
        for (ChannelItem* c : list)
            n += (c->strName == "AllEvents" ? 0 : 1) + 2 * c->listEvent.size();
    };
    for (EventTypeItem* t : types) {
        n += t->listChannel.size() == 1 && t->listChannel.first()->strName == "AllEvents" ? 0 : 1;
        channels(t->listChannel);
        for (IOTypeItem* io : qAsConst(t->listIOType)) {
            ++n;
            channels(io->listChannel);
        }
    }
    return n;
}

// A description of the standard kind (EventSelector and EventNotification), without groups, with the
// parts real descriptions vary: the notification entries, the category that holds the selector, and
// nested enumerations beside it. The notification of selector value v is at 0x10000 + 4 * v.
QByteArray StandardDescription(const QByteArray& notifications, const QByteArray& categories, const QByteArray& nested)
{
    const QByteArray reg = "<AccessMode>RW</AccessMode><pPort>Device</pPort><Sign>Unsigned</Sign>"
                           "<Endianess>LittleEndian</Endianess>";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<RegisterDescription ModelName=\"T\" VendorName=\"T\" StandardNameSpace=\"None\" SchemaMajorVersion=\"1\" "
           "SchemaMinorVersion=\"1\" SchemaSubMinorVersion=\"0\" MajorVersion=\"1\" MinorVersion=\"0\" "
           "SubMinorVersion=\"0\" ProductGuid=\"00000000-0000-0000-0000-000000000001\" "
           "VersionGuid=\"00000000-0000-0000-0000-000000000002\" xmlns=\"http://www.genicam.org/GenApi/Version_1_1\">"
           + categories + nested
           + "<Enumeration Name=\"EventSelector\">"
             "<EnumEntry Name=\"FrameStart\"><DisplayName>Frame Start</DisplayName><ToolTip>A frame began.</ToolTip>"
             "<Value>0</Value></EnumEntry>"
             "<EnumEntry Name=\"ExposureEnd\"><Visibility>Guru</Visibility><Value>1</Value></EnumEntry>"
             "<EnumEntry Name=\"Line1RisingEdge\"><pIsAvailable>Zero</pIsAvailable><Value>2</Value></EnumEntry>"
             "<EnumEntry Name=\"Test\"><Visibility>Expert</Visibility><Value>3</Value></EnumEntry>"
             "<EnumEntry Name=\"Error\"><Value>4</Value></EnumEntry>"
             "<pValue>SelectorReg</pValue><pSelected>EventNotification</pSelected></Enumeration>"
             "<Enumeration Name=\"EventNotification\">" + notifications + "<pValue>NotificationReg</pValue></Enumeration>"
             "<Integer Name=\"Zero\"><Value>0</Value></Integer>"
             "<IntReg Name=\"SelectorReg\"><Address>0x100C</Address><Length>4</Length><Cachable>WriteThrough</Cachable>"
           + reg + "</IntReg><IntReg Name=\"NotificationReg\"><Address>0x10000</Address>"
             "<pIndex Offset=\"4\">SelectorReg</pIndex><Length>4</Length><Cachable>NoCache</Cachable>"
           + reg + "</IntReg><Port Name=\"Device\"/></RegisterDescription>\n";
}

QString EventStates(const QList<ChannelItem*>& channels)
{
    QStringList out;
    for (ChannelItem* c : channels)
        for (EventItem* e : qAsConst(c->listEvent))
            out << QString("%1:%2%3").arg(e->strName).arg(e->nState).arg(e->nLevel ? ":guru" : "");
    return out.join(' ');
}

} // namespace

class TestRWEventFeatureThread : public QObject
{
    Q_OBJECT

private slots:
    void readBuildsTheTree();
    void readOfAnIODevice();
    void readFailures_data();
    void readFailures();
    void secondStartIsDropped();
    void writeAppliesShownItems();
    void writeRecordsErrors();
    void registerTrafficNearTheFloor_data();
    void registerTrafficNearTheFloor();
    void unknownDeviceHasNoTree();
    void standardModel_data();
    void standardModel();
};

void TestRWEventFeatureThread::readBuildsTheTree()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-A-2040", 5, record));
    RWEventFeatureThread worker(nullptr);
    QTest::ignoreMessage(QtDebugMsg, "Set EventCategory 3");
    QTest::ignoreMessage(QtDebugMsg, "new EventTypeItem Diagnostic");
    QTest::ignoreMessage(QtDebugMsg, "new EventItem Exposure Start 曝光开始");
    QCOMPARE(RunToTheEnd(worker, record, true), (QList<QVariant>{5, true, true}));
    QVERIFY(worker.GetInterface());

    const QList<EventTypeItem*>& list = *worker.GetEventTypeList(5);
    // Exposure: channel 0 has one of two events on; Frame: channel 1 has FrameEnd_1 on.
    QCOMPARE(Names(list), QString("Exposure:1 Frame:1 Trigger:0 Diagnostic:0"));
    EventTypeItem* exposure = list.at(0);
    QCOMPARE(exposure->strName, QString("ExposureEvent"));
    QCOMPARE(exposure->nValue, qint64(0));
    QCOMPARE(exposure->listChannel.size(), 4);
    QVERIFY(exposure->listIOType.isEmpty());
    ChannelItem* ch0 = exposure->listChannel.at(0);
    QCOMPARE(ch0->strDisplayName, QString("Channel 0"));
    QCOMPARE(ch0->nState, 1);
    QCOMPARE(ch0->listEvent.size(), 2);
    EventItem* start = ch0->listEvent.at(0);
    QCOMPARE(start->strDisplayNameEn, QString("Exposure Start"));
    QCOMPARE(start->strDisplayNameCn, QString("曝光开始"));
    QCOMPARE(start->nState, 2);
    QVERIFY(start->bDeviceState);
    QVERIFY(start->nWidthEn > 0 && start->nWidthCn > 0);
    QCOMPARE(ch0->listEvent.at(1)->nState, 0);
    QCOMPARE(exposure->listChannel.at(3)->nLevel, 1); // Channel 3 is a Guru channel

    // No Chinese name: the English one is used; "_<channel>" absent: the bare digits go.
    EventItem* burst = FindEvent(list.at(1)->listChannel, "FrameBurstStart_0");
    QVERIFY(burst);
    QCOMPARE(burst->strDisplayNameCn, burst->strDisplayNameEn);
    QCOMPARE(burst->nLevel, 1);
    EventItem* temperature = FindEvent(list.at(3)->listChannel, "TemperatureHigh10");
    QVERIFY(temperature);
    QCOMPARE(temperature->strDisplayNameEn, QString("Temperature High 1"));
    QCOMPARE(list.at(3)->nLevel, 1);

    // A second read of an open device touches nothing.
    QCOMPARE(RunToTheEnd(worker, record, true), (QList<QVariant>{5, true, false}));
    QCOMPARE(worker.GetEventTypeList(5)->size(), 4);
}

void TestRWEventFeatureThread::readOfAnIODevice()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-B-8000", 2, record));
    RWEventFeatureThread worker(nullptr);
    QCOMPARE(RunToTheEnd(worker, record, true).size(), 3);
    const QList<EventTypeItem*>& list = *worker.GetEventTypeList(2);
    QCOMPARE(list.size(), 3);
    EventTypeItem* io = list.at(0);
    QCOMPARE(io->strDisplayName, QString("IO"));
    QCOMPARE(io->nState, 0); // an IO type keeps 0
    QVERIFY(io->listChannel.isEmpty());
    QCOMPARE(io->listIOType.size(), 4);
    IOTypeItem* d485 = io->listIOType.at(2);
    QCOMPARE(d485->strDisplayName, QString("D485"));
    QCOMPARE(d485->listChannel.size(), 3);
    QCOMPARE(d485->listChannel.at(0)->listEvent.size(), 42);
    QCOMPARE(d485->listChannel.at(0)->listEvent.at(0)->strDisplayNameEn, QString("Rx Start"));
    QCOMPARE(d485->listChannel.at(0)->listEvent.at(1)->strDisplayNameCn, QString("接收完成"));
    QCOMPARE(d485->nState, 0);
    IOTypeItem* line0 = io->listIOType.at(0);
    QCOMPARE(line0->listChannel.at(0)->listEvent.at(0)->strDisplayNameEn, QString("Rising Edge"));
    QCOMPARE(line0->listChannel.at(0)->listEvent.at(0)->strDisplayNameCn, QString("上升沿"));
    QCOMPARE(line0->nState, 1); // Line0 rising edge on channel 0 is on
    QCOMPARE(io->listIOType.at(3)->nLevel, 1);
}

void TestRWEventFeatureThread::readFailures_data()
{
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("critical");
    QTest::addColumn<QString>("tree");
    QTest::newRow("open refused") << QByteArray("Open=-1005") << false
                                  << "Failed to open interface : 0xfffffffffffffc13" << QString();
    QTest::newRow("category list unreadable") << QByteArray("GetEnum1=EventCategory, *, -1010") << true
                                              << "Failed to get  EventCategory : 0xfffffffffffffc0e" << QString();
    QTest::newRow("a category that cannot be selected is left out")
        << QByteArray("SetEnum1=EventCategory, 1, *, -1005") << true << QString() << "Exposure:1 Trigger:0 Diagnostic:0";
    // Frame channel 0 has no event on: with channel 1 counted as 2 the type would be 1.
    QTest::newRow("event list unreadable: channel keeps 2, not counted")
        << QByteArray("GetEnum1=EventSelector, EventCategory=1;ChannelSelector=1, -1010") << true << QString()
        << "Exposure:1 Frame:0 Trigger:0 Diagnostic:0";
}

void TestRWEventFeatureThread::readFailures()
{
    QFETCH(QByteArray, faults);
    QFETCH(bool, opened);
    QFETCH(QString, critical);
    QFETCH(QString, tree);
    SimFixture sim;
    QVERIFY(sim.installProducer());
    // Uncached, so that a read fault of a selector is met at every read, not only the first.
    QVERIFY(sim.addShippedDevice("camera_a", "[Faults]\n" + faults + "\n", SimFixture::Uncached));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-A-2040", 9, record));
    RWEventFeatureThread worker(nullptr);
    if (!critical.isEmpty())
        QTest::ignoreMessage(QtCriticalMsg, critical.toUtf8().constData());
    if (!opened)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Opening .* failed.*"));
    QCOMPARE(RunToTheEnd(worker, record, true), (QList<QVariant>{9, true, opened}));
    QCOMPARE(worker.GetInterface() != nullptr, opened);
    QCOMPARE(Names(*worker.GetEventTypeList(9)), tree);
    if (tree.contains("Frame:0")) {
        ChannelItem* ch1 = worker.GetEventTypeList(9)->at(1)->listChannel.at(1);
        QCOMPARE(ch1->nState, 2);
        QVERIFY(ch1->listEvent.isEmpty());
    }
}

void TestRWEventFeatureThread::secondStartIsDropped()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    QVERIFY(sim.addShippedDevice("camera_a"));
    DeviceInfo b, a;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-B-8000", 1, b));
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-A-2040", 2, a));
    RWEventFeatureThread worker(nullptr);
    Run run(worker);
    worker.StartRW(&b, true);
    worker.StartRW(&a, true); // the camera B read takes far longer than this call
    QVERIFY(run.waitDone());
    QCOMPARE(run.spy.count(), 1);
    QCOMPARE(run.args().at(0).toInt(), 1);
    QVERIFY(worker.GetEventTypeList(2)->isEmpty());
}

void TestRWEventFeatureThread::writeAppliesShownItems()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-A-2040", 3, record));
    RWEventFeatureThread worker(nullptr);
    QCOMPARE(RunToTheEnd(worker, record, true).size(), 3);
    QList<EventTypeItem*>& list = *worker.GetEventTypeList(3);
    ApplyUserLevel(list, 0); // "Recommended": Guru items are not written
    for (EventTypeItem* t : list)
        for (ChannelItem* c : qAsConst(t->listChannel))
            for (EventItem* e : qAsConst(c->listEvent))
                e->nState = 2;
    EventItem* guru = FindEvent(list.at(2)->listChannel, "TriggerSkipped_1");
    QVERIFY(guru && !guru->bShow && !guru->bDeviceState);
    EventItem* plain = FindEvent(list.at(2)->listChannel, "TriggerReady_1");
    QVERIFY(plain && plain->bShow && !plain->bDeviceState);
    QCOMPARE(RunToTheEnd(worker, record, false), (QList<QVariant>{3, false, false}));
    QVERIFY(plain->bDeviceState);
    QVERIFY(!guru->bDeviceState);
    CCamInterface* cam = worker.GetInterface();
    QCOMPARE(DeviceNotification(cam, 2, -1, 1, uint(plain->nValue)), 1);
    QCOMPARE(DeviceNotification(cam, 2, -1, 1, uint(guru->nValue)), 0);
    for (EventTypeItem* t : list)
        QVERIFY(t->strErrorMsg.isEmpty());
}

void TestRWEventFeatureThread::writeRecordsErrors()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-B-8000", 4, record));
    RWEventFeatureThread worker(nullptr);
    QCOMPARE(RunToTheEnd(worker, record, true).size(), 3);
    QList<EventTypeItem*>& list = *worker.GetEventTypeList(4);
    ApplyUserLevel(list, 1);
    IOTypeItem* line0 = list.at(0)->listIOType.at(0);
    IOTypeItem* line1 = list.at(0)->listIOType.at(1);
    ChannelItem* failing = line0->listChannel.at(1);
    for (EventItem* e : qAsConst(failing->listEvent))
        e->nState = 2;
    // Armed now that the read is done: the open device follows its device file.
    QVERIFY(sim.rewriteShippedDevice("camera_b", "[Faults]\n"
                                                 "SetEnum1=EventNotification, 1, EventIOType=0;ChannelSelector=1, -1005\n"
                                                 "SetEnum2=ChannelSelector, 0, EventIOType=1, -1010\n"));
    CCamInterface* cam = worker.GetInterface();
    QVERIFY(cam->SetEnumValue("EventCategory", 0) == 0 && cam->SetEnumValue("EventIOType", 1) == 0);
    QTRY_COMPARE(cam->SetEnumValue("ChannelSelector", 0), -1010);
    QCOMPARE(RunToTheEnd(worker, record, false).size(), 3);
    QCOMPARE(failing->strErrorMsg, QString("0xfffffc13"));
    for (EventItem* e : qAsConst(failing->listEvent))
        QVERIFY(!e->bDeviceState); // the refused writes changed nothing
    QVERIFY(line0->listChannel.at(0)->strErrorMsg.isEmpty());
    QCOMPARE(line1->listChannel.at(0)->strErrorMsg, QString("0xfffffc0e"));
    QVERIFY(line1->strErrorMsg.isEmpty());
    QVERIFY(list.at(0)->strErrorMsg.isEmpty());
}

void TestRWEventFeatureThread::unknownDeviceHasNoTree()
{
    RWEventFeatureThread worker(nullptr);
    QVERIFY(worker.GetEventTypeList(42)->isEmpty());
    QCOMPARE(worker.GetEventTypeList(42), worker.GetEventTypeList(-1));
    QVERIFY(!worker.GetInterface());
    DeviceInfo record;
    std::memset(&record, 0, sizeof record);
    record.nDeviceNumber = 42;
    QCOMPARE(RunToTheEnd(worker, record, false), (QList<QVariant>{42, false, false}));
}

void TestRWEventFeatureThread::registerTrafficNearTheFloor_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("id");
    QTest::newRow("event camera") << "camera_a" << QByteArray("DoVI-SIM-A-2040");
    QTest::newRow("IO controller") << "camera_b" << QByteArray("DoVI-SIM-B-8000");
    QTest::newRow("standard camera") << "standard_d" << QByteArray("DoVI-SIM-D-3000");
}

// On a network every port call is a round trip: the read and the apply stay within 1.25 times the calls
// their feature operations need at the least.
void TestRWEventFeatureThread::registerTrafficNearTheFloor()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, id);
    SimFixture sim;
    QVERIFY(sim.install(device));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord(id, 5, record));
    const QString producer = sim.producerFolder() + "/DoVISimulator.cti";
    RWEventFeatureThread worker(nullptr);
    const quint64 before = PortCalls(producer);
    QCOMPARE(RunToTheEnd(worker, record, true).size(), 3);
    const quint64 afterRead = PortCalls(producer);
    const int floor = Floor(*worker.GetEventTypeList(5));
    QVERIFY(floor > 0);
    // Reading the description is a few large reads besides.
    QVERIFY2(afterRead - before <= quint64(floor * 1.25), qPrintable(QString("%1 calls, floor %2").arg(afterRead - before).arg(floor)));
    QCOMPARE(RunToTheEnd(worker, record, false).size(), 3);
    const quint64 afterWrite = PortCalls(producer);
    QVERIFY2(afterWrite - afterRead <= quint64(floor * 1.25),
             qPrintable(QString("%1 calls, floor %2").arg(afterWrite - afterRead).arg(floor)));
}

void TestRWEventFeatureThread::standardModel_data()
{
    QTest::addColumn<QByteArray>("notifications");
    QTest::addColumn<QByteArray>("categories");
    QTest::addColumn<QByteArray>("nested");
    QTest::addColumn<QString>("type");    // name and display name of the one event type
    QTest::addColumn<uint>("on");         // what a write of "on" puts in the register
    const QByteArray control = "<Category Name=\"EventControl\"><DisplayName>Event Control</DisplayName>"
                               "<pFeature>EventSelector</pFeature><pFeature>EventNotification</pFeature></Category>";
    const QByteArray offOnceOn = "<EnumEntry Name=\"Off\"><Value>0</Value></EnumEntry>"
                                 "<EnumEntry Name=\"Once\"><Value>1</Value></EnumEntry>"
                                 "<EnumEntry Name=\"On\"><Value>5</Value></EnumEntry>";
    QTest::newRow("On is not 1") << offOnceOn << control << QByteArray() << "EventControl/Event Control" << 5u;
    QTest::newRow("no On but GigEVisionEvent")
        << QByteArray("<EnumEntry Name=\"Off\"><Value>0</Value></EnumEntry><EnumEntry Name=\"Once\"><Value>2</Value>"
                      "</EnumEntry><EnumEntry Name=\"GigEVisionEvent\"><Value>7</Value></EnumEntry>")
        << control << QByteArray() << "EventControl/Event Control" << 7u;
    QTest::newRow("selector outside EventControl")
        << offOnceOn
        << QByteArray("<Category Name=\"Root\"><pFeature>AcquisitionControl</pFeature></Category>"
                      "<Category Name=\"AcquisitionControl\"><pFeature>EventSelector</pFeature></Category>")
        << QByteArray() << "AcquisitionControl/AcquisitionControl" << 5u;
    QTest::newRow("selector in no category") << offOnceOn << QByteArray() << QByteArray()
                                             << "EventControl/Event Control" << 5u;
    // Nested enumerations beside the standard ones: the nested model, from the event control group.
    QTest::newRow("both kinds: nested wins")
        << offOnceOn << control
        << QByteArray("<Group Comment=\"EventControl\"><Enumeration Name=\"EventCategory\"><EnumEntry Name=\"NestedEvent\">"
                      "<DisplayName>Nested Event</DisplayName><Value>0</Value></EnumEntry><pValue>CategoryReg</pValue>"
                      "</Enumeration></Group><IntReg Name=\"CategoryReg\"><Address>0x1000</Address><Length>4</Length>"
                      "<AccessMode>RW</AccessMode><pPort>Device</pPort><Sign>Unsigned</Sign>"
                      "<Endianess>LittleEndian</Endianess></IntReg>")
        << "NestedEvent/Nested" << 0u;
    // Neither kind: no model, and the log says why.
    QTest::newRow("neither kind") << QByteArray("<EnumEntry Name=\"Off\"><Value>0</Value></EnumEntry>") << control
                                  << QByteArray("NOSELECTOR") << QString() << 0u;
}

// Events described the standard way: one type, one channel, the implemented and available entries in
// document order; notifications by entry name, states on unless "Off"; an unreadable state is noted.
void TestRWEventFeatureThread::standardModel()
{
    QFETCH(QByteArray, notifications);
    QFETCH(QByteArray, categories);
    QFETCH(QByteArray, nested);
    QFETCH(QString, type);
    QFETCH(uint, on);
    SimFixture sim;
    QVERIFY(sim.installProducer());
    QByteArray xml = StandardDescription(notifications, categories, nested);
    if (nested == "NOSELECTOR") { // the selector renamed and the notification with it: neither kind
        xml.replace("NOSELECTOR", "").replace("EventSelector", "LineSelector").replace("EventNotification", "LineMode");
        QTest::ignoreMessage(QtCriticalMsg, "Failed to get  EventCategory : 0xfffffffffffffc11");
    }
    QVERIFY(sim.writeDevice("std.xml", xml));
    // FrameStart on, Test at a value that is neither Off nor On (Once, where there is one).
    QVERIFY(sim.writeDevice("std.ini", "[Device]\nId=DoVI-SIM-T-0001\nModel=T\nSerial=T1\nDescription=std.xml\n"
                                       "[Registers]\nEventSelector=0x100C\nEventNotification=0x10000:0x100\n"
                                       "[Memory]\n0x10000=" + QByteArray::number(on) + "\n0x1000C=2\n"
                                       "[Faults]\nGetEnum1=EventNotification, EventSelector=4, -1005\n"));
    DeviceInfo record;
    QVERIFY(SimFixture::FindRecord("DoVI-SIM-T-0001", 6, record));
    RWEventFeatureThread worker(nullptr);
    QCOMPARE(RunToTheEnd(worker, record, true).size(), 3);
    QList<EventTypeItem*>& list = *worker.GetEventTypeList(6);
    if (type.isEmpty()) {
        QVERIFY(list.isEmpty());
        return;
    }
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0)->strName + "/" + list.at(0)->strDisplayName, type);
    QCOMPARE(list.at(0)->nValue, qint64(0));
    if (!nested.isEmpty())
        return;
    QVERIFY(list.at(0)->listIOType.isEmpty());
    QCOMPARE(list.at(0)->listChannel.size(), 1);
    ChannelItem* channel = list.at(0)->listChannel.at(0);
    QCOMPARE(channel->strName + ":" + QString::number(channel->nValue), QString("AllEvents:0"));
    QCOMPARE(EventStates(list.at(0)->listChannel), QString("FrameStart:2 ExposureEnd:0:guru Test:2 Error:0"));
    QCOMPARE(channel->nState, 1);
    EventItem* frameStart = channel->listEvent.at(0);
    QCOMPARE(frameStart->strDisplayNameEn + "|" + frameStart->strDisplayNameCn + "|" + frameStart->strToolTip,
             QString("Frame Start|Frame Start|A frame began."));
    QCOMPARE(channel->listEvent.at(1)->strDisplayNameEn, QString("ExposureEnd")); // no display name: the name
    QCOMPARE(NotificationReadFailures::List(6), QStringList{"Error"});

    // At "Recommended" the Guru entry is left alone; the rest is written by name.
    ApplyUserLevel(list, 0);
    QVERIFY(!channel->listEvent.at(1)->bShow);
    channel->listEvent.at(0)->nState = 0;
    channel->listEvent.at(2)->nState = 2;
    channel->listEvent.at(1)->nState = 2;
    QCOMPARE(RunToTheEnd(worker, record, false).size(), 3);
    CCamInterface* cam = worker.GetInterface();
    auto notification = [cam](uint event) {
        EnumValue v{};
        return cam->SetEnumValue("EventSelector", event) || cam->GetEnumValue("EventNotification", &v, true)
                   ? -1 : int(v.nCurValue);
    };
    QCOMPARE(notification(0), 0);
    QCOMPARE(notification(3), int(on));
    QCOMPARE(notification(1), 0);
    QVERIFY(channel->strErrorMsg.isEmpty() && list.at(0)->strErrorMsg.isEmpty());
    QVERIFY(!channel->listEvent.at(0)->bDeviceState && channel->listEvent.at(2)->bDeviceState);
}

QTEST_MAIN(TestRWEventFeatureThread)
#include "tst_rweventfeaturethread.moc"
