#include "channelitem.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventnamemap.h"
#include "eventprinter.h"
#include "eventtypeitem.h"
#include "rweventfeaturethread.h"
#include "simfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

struct Result {
    int code = -1;
    QByteArray out, err;
};

} // namespace

// Drives the real saltire-cli against the simulated cameras of a private producers' folder.
class TestCli : public QObject
{
    Q_OBJECT

private:
    SimFixture* m_sim = nullptr;

    void Start(QProcess& p, const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KESTREL_COMMON_FILES_DIR", qEnvironmentVariable("KESTREL_COMMON_FILES_DIR"));
        env.insert("DOVI_SIM_DEVICES", qEnvironmentVariable("DOVI_SIM_DEVICES"));
        env.insert("KESTREL_USER_DATA_DIR", m_sim->root() + "/user");
        env.insert("KESTREL_CONFIG_DIR", m_sim->root() + "/config");
        p.setProcessEnvironment(env);
        p.start(SALTIRE_CLI, args);
    }

    Result Cli(const QStringList& args, int timeoutMs = 60000)
    {
        QProcess p;
        Start(p, args);
        Result r;
        if (!p.waitForFinished(timeoutMs))
            return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

private slots:
    void init()
    {
        m_sim = new SimFixture;
        QVERIFY(m_sim->install("camera_a"));
        QVERIFY(m_sim->addShippedDevice("camera_b"));
        QVERIFY(m_sim->addShippedDevice("standard_d"));
    }
    void cleanup()
    {
        delete m_sim;
        m_sim = nullptr;
    }

    void devicesAndUsage()
    {
        Result r = Cli({"devices"});
        QCOMPARE(r.code, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.at(0), QByteArray("NUMBER\tLABEL\tKEY\tMODEL\tSERIAL"));
        QVERIFY(lines.at(1).startsWith("1\tStation 3 Top (SA2040001)\tDoVI-SIM-A-2040_"));
        QVERIFY(lines.at(2).endsWith("\tDV-IO8000 IO Controller\tSB8000017"));
        r = Cli({"devices", "--json"});
        const QJsonArray devices = QJsonDocument::fromJson(r.out).array();
        QCOMPARE(devices.size(), 3);
        QCOMPARE(devices.at(1).toObject().value("model").toString(), QString("DV-IO8000 IO Controller"));
        QCOMPARE(Cli({"bogus"}).code, 1);
        QCOMPARE(Cli({}).code, 1);
        QCOMPARE(Cli({"show", "--help"}).code, 0);
        QCOMPARE(Cli({"show", "--device", "9"}).code, 2);
        // A misspelt level is not Guru; a serial number or a key names a device as well as its number.
        r = Cli({"set", "--level", "recomended", "--all-on"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("unknown level \"recomended\""), r.err.constData());
        QVERIFY(Cli({"show", "--device", "SB8000017"}).out.startsWith("Device 2: DV-IO8000 IO Controller"));
        const QByteArray key = lines.at(1).split('\t').at(2);
        QVERIFY(Cli({"show", "--device", QString::fromLatin1(key)}).out.startsWith("Device 1: Station 3 Top"));
        QCOMPARE(Cli({"--version"}).out, QByteArray("saltire-cli 4.1.0\n"));
    }

    void showFiltersByLevel()
    {
        Result r = Cli({"show", "--device", "Station 3 Top (SA2040001)", "--level", "recommended"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("Device 1: Station 3 Top (SA2040001), level recommended\n"));
        QVERIFY(r.out.contains("\nType Diagnostic [DiagnosticEvent:3] state=off guru hidden\n"));
        QVERIFY(r.out.contains("    Event Exposure Start [ExposureStart_0:0] state=on device=on\n"));
        r = Cli({"show", "--device", "2", "--json"});
        const QJsonObject root = QJsonDocument::fromJson(r.out).object();
        const QJsonObject io = root.value("types").toArray().at(0).toObject();
        QCOMPARE(io.value("ioLines").toArray().size(), 4);
        QCOMPARE(io.value("ioLines").toArray().at(2).toObject().value("channels").toArray().at(0).toObject()
                     .value("events").toArray().size(), 42);
    }

    // The command line's export is the window's export function: the same bytes for the same model.
    void exportMatchesTheWindow()
    {
        const QString path = m_sim->root() + "/a.ect";
        QCOMPARE(Cli({"export", "--device", "1", path}).code, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        // The same device read by the worker in this process gives the model the window would export.
        DeviceInfo record;
        QVERIFY(SimFixture::FindRecord(QByteArray(), 1, record));
        RWEventFeatureThread worker(nullptr);
        QSignalSpy done(&worker, &RWEventFeatureThread::SigFinishRW);
        worker.StartRW(&record, true);
        QTRY_VERIFY_WITH_TIMEOUT(worker.isFinished(), 30000); // the spy records on the worker's thread
        QCOMPARE(done.count(), 1);
        QCOMPARE(written, EventConfigFile::ToText(*worker.GetEventTypeList(1)).toLocal8Bit());
        QCOMPARE(Cli({"export", "--device", "1", m_sim->root() + "/no/such/dir/x.ect"}).code, 4);
    }

    void setImportAndDryRun()
    {
        const QString path = m_sim->root() + "/choice.ect";
        Result r = Cli({"set", "--device", "1", "--all-off", "--on", "Channel1", "--on", "TriggerReady_0"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QByteArray("Applied.\n"));
        QCOMPARE(Cli({"set", "--on", "NoSuchEvent"}).code, 7);
        r = Cli({"show", "--device", "1"});
        QVERIFY(r.out.contains("Event Exposure Start [ExposureStart_1:2] state=on device=on"));
        QVERIFY(r.out.contains("Event Exposure Start [ExposureStart_0:0] state=off device=off")); // kept by the camera
        QCOMPARE(Cli({"export", "--device", "1", path}).code, 0);

        QCOMPARE(Cli({"set", "--device", "1", "--all-off"}).code, 0);
        r = Cli({"import", "--device", "1", path, "--dry-run"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("CHANGE\tChannel 1\tExposureStart_1\toff -> on\n"));
        QVERIFY(!r.out.contains("UNMATCHED"));
        QVERIFY(Cli({"show", "--device", "1"}).out.contains("[ExposureStart_1:2] state=off device=off")); // dry run

        // A file for another device: nothing matches.
        r = Cli({"import", "--device", "2", path, "--dry-run"});
        QCOMPARE(r.code, 5);
        QVERIFY(r.out.contains("UNMATCHED\tType: ExposureEvent:0\n"));
        QCOMPARE(Cli({"import", "--device", "2", path}).out, QByteArray("Failed to import.\n"));

        r = Cli({"import", "--device", "1", path});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QByteArray("Succeed.\nApplied.\n"));
        QVERIFY(Cli({"show", "--device", "1"}).out.contains("[ExposureStart_1:2] state=on device=on"));
    }

    void applyFailureListsTheErrors()
    {
        QVERIFY(m_sim->rewriteShippedDevice("camera_a", "[Faults]\nSetEnum1=EventNotification, 1, EventCategory=0;ChannelSelector=1, -1005\n"));
        Result r = Cli({"set", "--device", "1", "--on", "ExposureEvent"});
        QCOMPARE(r.code, 6);
        QVERIFY(r.out.startsWith("Applying failed. Error list:\n"));
        QVERIFY(r.out.contains("ERROR\tExposure\tChannel 1\tExposure Start, Exposure End\t0xfffffc13\n"));
    }

    // A device that gives nothing is explained once, in words, by the command that needed it.
    void deviceProblemsInWords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("message");
        QFile ini(QDir(SALTIRE_DOVISIM_DEVICES).filePath("camera_a.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray shipped = ini.readAll();
        QTest::newRow("in use") << "camera_a.ini" << shipped + "\n[Faults]\nOpen=-1004\n" << QStringList{"show", "--device", "1"} << 3
                                << QByteArray("saltire-cli: Station 3 Top (SA2040001): The device is in use by another "
                                              "application or host. (error 0xfffffc14)\n");
        QTest::newRow("description unusable") << "camera_a.xml" << QByteArray("<RegisterDescription><Category")
                                              << QStringList{"export", "--device", "1", "OUT"} << 11
                                              << QByteArray("saltire-cli: Station 3 Top (SA2040001) has no events to export: "
                                                            "The device's description of its features could not be used. "
                                                            "Nothing was written.\n");
    }
    void deviceProblemsInWords()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, command);
        QFETCH(int, code);
        QFETCH(QByteArray, message);
        QVERIFY(m_sim->writeDevice(file, content));
        const QString out = m_sim->root() + "/out.ect";
        command.replaceInStrings("OUT", out);
        const Result r = Cli(command);
        QCOMPARE(r.code, code);
        QCOMPARE(r.err, message);
        QVERIFY(!QFile::exists(out));
        QVERIFY(Cli(command + QStringList{"--verbose"}).err.contains("log: ")); // the log's own words, when asked
    }

    // Every event the camera sends while it is watched is printed, with its time stamp in seconds.
    void monitorSeesTheCamerasEvents()
    {
        Result r = Cli({"monitor", "--device", "1", "--seconds", "2", "--format", "jsonl"});
        QCOMPARE(r.code, 0);
        QList<QByteArray> lines = r.out.split('\n');
        lines.removeAll(QByteArray());
        QVERIFY2(lines.size() >= 8, r.out.constData()); // ExposureStart_0 at 5 Hz and FrameEnd_1 at 1 Hz
        double previous = -1;
        int starts = 0;
        for (const QByteArray& line : lines) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.value("name").toString() != "ExposureStart_0")
                continue;
            ++starts;
            QCOMPARE(o.value("id").toString(), QString("0x9000"));
            QVERIFY(o.value("seconds").isDouble());
            const double seconds = o.value("seconds").toDouble();
            QVERIFY2(QDateTime::fromString(o.value("arrival").toString(), Qt::ISODateWithMs).isValid(), line.constData());
            if (previous >= 0)
                QVERIFY(qAbs(seconds - previous - 0.2) < 0.05);
            previous = seconds;
        }
        // The summary: count, mean rate, min / mean / max interval, suspected missed, last time stamp.
        QByteArray summary;
        for (const QByteArray& line : r.err.split('\n'))
            if (line.startsWith("# ExposureStart_0[ID:0x9000] "))
                summary = line.simplified();
        const QList<QByteArray> f = summary.split(' ');
        QVERIFY2(f.size() == 9, r.err.constData());
        QCOMPARE(f.at(2).toInt(), starts);
        QVERIFY(qAbs(f.at(5).toDouble() - 200) < 50);
        QCOMPARE(f.at(7), QByteArray("0"));
        QCOMPARE(f.at(8).toDouble(), previous);
    }

    // Channel 1 of the exposure events cannot be read: applying would switch them off unasked.
    void unreadableStatesNeedForce_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QStringList>("command");
        const QByteArray channel1 = "[Faults]\nGetEnum1=EventNotification, EventCategory=0;ChannelSelector=1, -1005\n";
        QTest::newRow("set") << "camera_a" << channel1 << QStringList{"set", "--device", "1", "--on", "FrameStart_0"};
        QTest::newRow("import") << "camera_a" << channel1 << QStringList{"import", "--device", "1", "FILE"};
        QTest::newRow("export") << "camera_a" << channel1 << QStringList{"export", "--device", "1", "FILE"};
        QTest::newRow("standard camera") << "standard_d" << QByteArray("[Faults]\nGetEnum1=EventNotification, EventSelector=36871, -1005\n")
                                         << QStringList{"set", "--device", "3", "--on", "FrameEnd"};
    }
    void unreadableStatesNeedForce()
    {
        QFETCH(QString, device);
        QFETCH(QByteArray, fault);
        QFETCH(QStringList, command);
        const QString path = m_sim->root() + "/a.ect";
        QCOMPARE(Cli({"export", "--device", "1", path}).code, 0);
        command.replaceInStrings("FILE", path);
        QVERIFY(m_sim->rewriteShippedDevice(device, fault));
        const QByteArray done = command.first() == "export" ? "File exported." : "Applied.";
        Result r = Cli(command);
        QCOMPARE(r.code, 9);
        QVERIFY2(r.err.contains("could not be read") && r.err.contains("--force"), r.err.constData());
        QVERIFY(!r.out.contains(done));
        QVERIFY(Cli({"show", "--device", command.at(2)}).out.contains(" device=unreadable\n"));
        r = Cli(command + QStringList{"--force"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(done));
    }

    // A camera that describes its events the standard way, through every command.
    void standardCamera()
    {
        const QString device = "Station 5 Side (SD3000005)";
        Result r = Cli({"show", "--device", device, "--level", "recommended"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("Device 3: Station 5 Side (SD3000005), level recommended\n"
                                  "Type Event Control [EventControl:0] state=partial\n"
                                  "  Channel All Events [AllEvents:0] state=partial\n"
                                  "    Event Acquisition Start [AcquisitionStart:36864] state=off device=off\n"),
                 r.out.constData());
        QVERIFY(r.out.contains("    Event Frame Start [FrameStart:36867] state=on device=on\n"));
        QVERIFY(r.out.contains("    Event Test [Test:36884] state=off guru hidden device=off\n"));
        QVERIFY(!r.out.contains("Line1RisingEdge") && !r.out.contains("Line2RisingEdge")); // unavailable, unimplemented

        QCOMPARE(Cli({"set", "--device", "3", "--all-off", "--on", "Timer0End", "--on", "ExposureEnd"}).out,
                 QByteArray("Applied.\n"));
        const QString path = m_sim->root() + "/standard.ect";
        QCOMPARE(Cli({"export", "--device", "3", path}).code, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        QVERIFY(text.startsWith("BeginGroup--**************----\r\nType: EventControl:0\r\nChannel: AllEvents:0\r\n"
                                "Event: [AcquisitionStart:36864:0]; "));
        QVERIFY(text.contains("[ExposureEnd:36872:1]; ") && text.contains("[Timer0End:36878:1]; "));

        // Back after a change, with an entry this camera does not have: placed where it can be, the rest named.
        QCOMPARE(Cli({"set", "--device", "3", "--all-off"}).code, 0);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.replace("[Test:36884:0]; ", "[Test:36884:0]; [Strobe:99:1]; "));
        file.close();
        r = Cli({"import", "--device", "3", path});
        QCOMPARE(r.out, QByteArray("Succeed.\nApplied.\n"));
        QVERIFY2(r.err.contains("not placed: Type: EventControl:0 / Channel: AllEvents:0 / Event: Strobe:99"), r.err.constData());
        QVERIFY(Cli({"show", "--device", "3"}).out.contains("[Timer0End:36878] state=on device=on"));
        // A file of the nested kind places nothing on it.
        QCOMPARE(Cli({"export", "--device", "1", m_sim->root() + "/nested.ect"}).code, 0);
        r = Cli({"import", "--device", "3", m_sim->root() + "/nested.ect", "--dry-run"});
        QCOMPARE(r.code, 5);
        QVERIFY(r.out.contains("UNMATCHED\tType: ExposureEvent:0\n"));

        // Events named from their ports and from the Event<X> integers; the frame id from the event's data.
        // Watched until a Timer0End and a run of ExposureEnd events have come, then stopped as by Ctrl+C.
        QProcess monitor;
        Start(monitor, {"monitor", "--device", "3", "--format", "jsonl"});
        QByteArray out;
        const bool bSeen = QTest::qWaitFor([&] {
            monitor.waitForReadyRead(50);
            out += monitor.readAllStandardOutput();
            return out.count("\"name\":\"ExposureEnd\"") >= 6 && out.contains("\"name\":\"Timer0End\"");
        }, 30000);
        monitor.terminate();
        QVERIFY(monitor.waitForFinished(30000));
        out += monitor.readAllStandardOutput();
        QVERIFY2(bSeen, out.constData());
        QCOMPARE(monitor.exitCode(), 0);
        int frameId = 0;
        for (const QByteArray& line : out.split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.value("name") == "Timer0End") {
                QCOMPARE(o.value("id").toString(), QString("0x900E"));
                QVERIFY(!o.contains("data"));
            } else if (o.value("name") == "ExposureEnd") {
                const int id = o.value("data").toObject().value("FrameID").toInt();
                QVERIFY2(id > 0 && (frameId == 0 || id == frameId + 1), line.constData());
                frameId = id;
            }
        }
    }

    // An event's data decoded as its port declares it: the record is the 16-byte GigE Vision header (block
    // id at 6) and the data that came with the event (little-endian fields: the GigE Vision test).
    void eventDataFields_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<quint64>("offset");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("block id") << QByteArray() << quint64(6) << 2 << true << false << QByteArray(",\"data\":{\"F\":4660}");
        QTest::newRow("three bytes, big-endian, signed") << QByteArray("\xFF\xFF\xFE", 3) << quint64(16) << 3 << true
                                                         << true << QByteArray(",\"data\":{\"F\":-2}");
        QTest::newRow("eight bytes, signed") << QByteArray(8, '\xFF') << quint64(16) << 8 << true << true
                                             << QByteArray(",\"data\":{\"F\":-1}");
        QTest::newRow("eight bytes, unsigned") << QByteArray(8, '\xFF') << quint64(16) << 8 << false << false
                                               << QByteArray(",\"data\":{\"F\":18446744073709551615}");
        QTest::newRow("ends with the record") << QByteArray("\x01\x02\x03\x04", 4) << quint64(16) << 4 << true
                                              << false << QByteArray(",\"data\":{\"F\":16909060}");
        QTest::newRow("one byte past the record") << QByteArray("\x01\x02\x03\x04", 4) << quint64(17) << 4 << true
                                                  << false << QByteArray();
        QTest::newRow("no data came") << QByteArray() << quint64(16) << 2 << true << false << QByteArray();
        QTest::newRow("absurd offset") << QByteArray(4, '\0') << ~quint64(0) << 2 << true << false << QByteArray();
    }
    void eventDataFields()
    {
        QFETCH(QByteArray, data);
        QFETCH(quint64, offset);
        QFETCH(int, length);
        QFETCH(bool, bigEndian);
        QFETCH(bool, isSigned);
        QFETCH(QByteArray, json);
        EventRecord record{};
        record.nEventId = 0x9001;
        record.nBlockId = 0x1234;
        record.nDataSize = quint32(data.size());
        std::memcpy(record.data, data.constData(), size_t(data.size()));
        EventPortInfo port;
        port.fields.append(EventDataField{"F", offset, length, bigEndian, isSigned});
        QCOMPARE(EventPrinter::DataJson(record, port), json);
    }

    // Which events a description names, and which of their data the monitor can decode.
    void eventPortsOfADescription()
    {
        const QByteArray xml =
            "<RegisterDescription><Enumeration Name=\"EventSelector\"><EnumEntry Name=\"FrameEnd\"/>"
            "<EnumEntry Name=\"Timer0End\"/><EnumEntry Name=\"Test\"/></Enumeration>"
            "<Port Name=\"P\"><EventID>9002</EventID></Port>"
            "<Integer Name=\"EventFrameEndTimestamp\"><pValue>TsReg</pValue></Integer>"
            "<IntReg Name=\"TsReg\"><Address>8</Address><Length>8</Length><pPort>P</pPort></IntReg>"
            "<IntReg Name=\"EventFrameEndFrameID\"><Address>0x6</Address><Length>2</Length><pPort>P</pPort>"
            "<Endianess>BigEndian</Endianess></IntReg>"
            "<MaskedIntReg Name=\"EventFrameEndBits\"><Address>16</Address><Length>4</Length><LSB>3</LSB>"
            "<MSB>0</MSB><pPort>P</pPort></MaskedIntReg>"
            "<IntReg Name=\"EventFrameEndIndexed\"><Address>16</Address><pIndex>X</pIndex><Length>4</Length>"
            "<pPort>P</pPort></IntReg>"
            "<Integer Name=\"EventTimer0End\"><Value>0x900E</Value></Integer>"
            "<Integer Name=\"EventTest\"><Value>36866</Value></Integer>"   // the port's id: the port wins
            "<Integer Name=\"EventGain\"><Value>0x9010</Value></Integer>"  // no such event
            "</RegisterDescription>";
        const QHash<quint16, EventPortInfo> ports = readEventPorts(xml);
        QCOMPARE(ports.size(), 2);
        QCOMPARE(ports.value(0x9002).name, QByteArray("FrameEnd"));
        QCOMPARE(ports.value(0x9002).fields.size(), 1);
        const EventDataField f = ports.value(0x9002).fields.first();
        QCOMPARE(f.name + QByteArray::number(f.nOffset) + QByteArray::number(f.nLength), QByteArray("FrameID62"));
        QVERIFY(f.bBigEndian && !f.bSigned);
        QCOMPARE(ports.value(0x900E).name, QByteArray("Timer0End"));
        QVERIFY(ports.value(0x900E).fields.isEmpty());
    }

    // Where the producers come from, what they say of themselves and how many devices each offers.
    void producersAreListed()
    {
        QTemporaryDir vendor;
        QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, vendor.filePath("VendorGEV.cti")));
        QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, vendor.filePath("VendorBroken.cti")));
        QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, vendor.filePath("VendorHuge.cti")));
        QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, vendor.filePath("VendorHang.cti")));
        for (const auto& fault : {qMakePair(QString("VendorBroken"), QByteArray("InitLib = fail\n")),
                                  qMakePair(QString("VendorHuge"), QByteArray("HugeSizes = 1\n")),
                                  qMakePair(QString("VendorHang"), QByteArray("InitLib = hang\n"))}) {
            QFile faults(vendor.filePath(fault.first + ".cti.faults"));
            QVERIFY(faults.open(QIODevice::WriteOnly));
            faults.write(fault.second);
        }
        // A device file the simulator refuses is named, with why, instead of the device just missing.
        QVERIFY(m_sim->writeDevice("bad.ini", "[Events]\nE1=0, 0x9000, nan\n"));
        qputenv("GENICAM_GENTL64_PATH", vendor.path().toLocal8Bit());
        const Result r = Cli({"producers"});
        const Result devices = Cli({"devices"}); // a producer that never starts holds up nothing for good
        qunsetenv("GENICAM_GENTL64_PATH");
        QCOMPARE(devices.code, 0);
        QVERIFY(devices.out.contains("\tDV-IO8000 IO Controller\t"));
        QCOMPARE(r.code, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.at(0), QByteArray("PATH\tFOUND\tTLTYPE\tVENDOR\tDEVICES\tSTATUS"));
        const QByteArray refused = "; not used: " + m_sim->devicesFolder().toUtf8()
                                   + "/bad.ini:2: event rate must be 0 or 0.001 to 100000 events per second";
        QVERIFY2(lines.at(1).endsWith("/DoVISimulator.cti\truntime folder\tCustom\tDoVI\t3\tok" + refused), lines.at(1).constData());
        QVERIFY2(lines.at(2).endsWith("/VendorBroken.cti\tGENICAM_GENTL64_PATH\t\t\t0\terror 0xfffffc17: it failed (not used)"),
                 lines.at(2).constData());
        QVERIFY2(lines.at(3).endsWith("/VendorGEV.cti\tGENICAM_GENTL64_PATH\tCustom\tDoVI\t3\tok" + refused), lines.at(3).constData());
        QVERIFY(Cli({"devices", "--verbose"}).err.contains("could not use: " + m_sim->devicesFolder().toUtf8() + "/bad.ini:2: "));
        QVERIFY2(lines.at(4).endsWith("/VendorHang.cti\tGENICAM_GENTL64_PATH\t\t\t0\t"
                                      "error 0xfffffc0d: it did not answer in time (skipped)"),
                 lines.at(4).constData());
        // One it could not use says why, rather than "ok" with no device.
        QVERIFY2(lines.at(5).endsWith("/VendorHuge.cti\tGENICAM_GENTL64_PATH\tCustom\tDoVI\t0\t"
                                      "error 0xfffffc0b: it answers with sizes no text has (not used)" + refused),
                 lines.at(5).constData());
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
