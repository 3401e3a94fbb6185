#include "fakecamera.h"
#include "gvcpeventsender.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// saltire-cli on a GigE Vision camera (Aravis's fake camera on loopback) through DoVIGigE.cti, beside the
// simulated cameras; Aravis's own arv-tool reads back what we wrote.
class TestGigECli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeCamera m_camera;

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KESTREL_COMMON_FILES_DIR", m_dir.filePath("common"));
        env.insert("DOVI_SIM_DEVICES", m_dir.filePath("devices"));
        env.insert("KESTREL_USER_DATA_DIR", m_dir.filePath("user"));
        env.insert("KESTREL_CONFIG_DIR", m_dir.filePath("config"));
        env.insert("DOVI_GIGE_INTERFACES", "lo");
        return env;
    }

    void StartCli(QProcess& p, const QStringList& args)
    {
        p.setProcessEnvironment(Environment());
        p.start(SALTIRE_CLI, args);
    }

    // Starts a monitor and waits until it prints events (it says so on stderr); its stderr so far.
    bool StartMonitor(QProcess& p, const QStringList& args, QByteArray& err)
    {
        StartCli(p, QStringList{"monitor"} + args);
        QElapsedTimer clock;
        clock.start();
        while (!err.contains("# watching ") && p.state() != QProcess::NotRunning && clock.elapsed() < 30000) {
            p.waitForReadyRead(100); // reads both pipes while it waits
            err += p.readAllStandardError();
        }
        return err.contains("# watching ");
    }

    struct Result {
        int code = -1;
        QByteArray out, err;
    };

    Result Finish(QProcess& p, int timeoutMs = 60000)
    {
        Result r;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    // Once the monitor printed nLines lines, it is stopped as by Ctrl+C; its lines, those after included.
    Result StopAfter(QProcess& monitor, int nLines, QList<QByteArray>& lines)
    {
        QByteArray out;
        const bool bPrinted = QTest::qWaitFor([&] {
            monitor.waitForReadyRead(50);
            out += monitor.readAllStandardOutput();
            return out.count('\n') >= nLines;
        }, 30000);
        Q_UNUSED(bPrinted) // the caller compares the lines
        monitor.terminate();
        Result r = Finish(monitor, 30000);
        lines = (out + r.out).split('\n');
        lines.removeAll(QByteArray());
        return r;
    }

    Result Cli(const QStringList& args, int timeoutMs = 60000)
    {
        QProcess p;
        StartCli(p, args);
        return Finish(p, timeoutMs);
    }

    // What Aravis's own tool reads for one event's notification (selectors given as Feature=Entry).
    QByteArray ArvNotification(const QString& category, const QString& channel, const QString& event)
    {
        return ArvRead({"EventCategory=" + category, "ChannelSelector=" + channel, "EventSelector=" + event});
    }
    QByteArray ArvRead(const QStringList& selectors)
    {
        QProcess arv;
        arv.start("arv-tool-0.8", QStringList{"-a", "127.0.0.1", "control"} + selectors + QStringList{"EventNotification"});
        arv.waitForFinished(20000);
        const QByteArray out = arv.readAllStandardOutput();
        const int at = out.indexOf("EventNotification");
        return at < 0 ? out : out.mid(at).trimmed();
    }

    static QByteArray LineOf(const QByteArray& text, const QByteArray& key)
    {
        for (const QByteArray& line : text.split('\n'))
            if (line.contains(key))
                return line;
        return QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString producers = m_dir.filePath("common/Kestrel/Runtime/Linux64_x64");
        QVERIFY(QDir().mkpath(producers));
        QVERIFY(QDir().mkpath(m_dir.filePath("devices")));
        QVERIFY(QFile::copy(SALTIRE_DOVIGIGE_CTI, producers + "/DoVIGigE.cti"));
        QVERIFY(QFile::copy(SALTIRE_DOVISIM_CTI, producers + "/DoVISimulator.cti"));
        const QDir shipped(SALTIRE_DOVISIM_DEVICES);
        for (const QString& f : shipped.entryList({"camera_b*"}, QDir::Files))
            QVERIFY(QFile::copy(shipped.filePath(f), m_dir.filePath("devices/" + f)));
    }

    void init()
    {
        QVERIFY(m_camera.Start(QFINDTESTDATA("../data/gige/camera_a_gev.xml")));
        QVERIFY(m_camera.AdvertiseEvents());
    }

    void cleanup() { m_camera.Stop(); }

    void listShowSetExportImport()
    {
        Result r = Cli({"devices"});
        QCOMPARE(r.code, 0);
        const QByteArray fake = LineOf(r.out, "Aravis-DVA2040");
        QVERIFY2(fake.contains("\tFake\tDVA2040"), r.out.constData());
        QVERIFY(r.out.contains("DV-IO8000 IO Controller")); // the simulated cameras are still there

        r = Cli({"show", "--device", "Fake", "--level", "guru"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("[ExposureStart_0:0]") && r.out.contains("[TriggerOverrun_2:"), r.out.constData());

        r = Cli({"set", "--device", "Fake", "--all-off", "--on", "TriggerOverrun_2", "--on", "ExposureStart_0"});
        QCOMPARE(r.code, 0);
        QCOMPARE(ArvNotification("TriggerEvent", "Channel2", "TriggerOverrun_2"), QByteArray("EventNotification = On"));
        QCOMPARE(ArvNotification("ExposureEvent", "Channel0", "ExposureStart_0"), QByteArray("EventNotification = On"));
        QCOMPARE(ArvNotification("DiagnosticEvent", "Channel0", "FanFailure_0"), QByteArray("EventNotification = Off"));

        const QString path = m_dir.filePath("fake.ect");
        QCOMPARE(Cli({"export", "--device", "Fake", path}).code, 0);
        QCOMPARE(Cli({"set", "--device", "Fake", "--all-off"}).code, 0);
        QCOMPARE(ArvNotification("TriggerEvent", "Channel2", "TriggerOverrun_2"), QByteArray("EventNotification = Off"));
        r = Cli({"import", "--device", "Fake", path});
        QCOMPARE(r.code, 0);
        QVERIFY(LineOf(Cli({"show", "--device", "Fake", "--level", "guru"}).out, "[TriggerOverrun_2:")
                    .contains("state=on device=on"));
        QCOMPARE(ArvNotification("TriggerEvent", "Channel2", "TriggerOverrun_2"), QByteArray("EventNotification = On"));
        QCOMPARE(ArvNotification("ExposureEvent", "Channel0", "ExposureStart_0"), QByteArray("EventNotification = On"));
    }

    // Events from the message channel reach the printer with name, id and time stamp; an unknown id is
    // printed by its number, a malformed packet is counted.
    void monitorPrintsTheEvents()
    {
        QProcess monitor;
        QByteArray started;
        QVERIFY(StartMonitor(monitor, {"--device", "Fake", "--format", "jsonl"}, started));
        GvcpEventSender sender;
        QVERIFY2(sender.ReadChannel() && sender.HostPort() != 0, sender.LastError().c_str());
        const uint16_t id = sender.SendEvents({{0x9000, 0xFFFF, 0, 1500000000ULL, {}}, {0x9015, 0xFFFF, 0, 2000000000ULL, {}}});
        QVERIFY(sender.WaitAck(id, 2000));
        QVERIFY(sender.WaitAck(sender.SendEventData({0x1234, 0xFFFF, 0, 3000000000ULL, std::string("\xAB\xCD", 2)}), 2000));
        QVERIFY(sender.SendMalformed(GvcpEventSender::Malformation::WrongKey));
        // A last event, acknowledged once the malformed packet before it was read: then the monitor is stopped.
        QVERIFY(sender.WaitAck(sender.SendEvents({{0x9000, 0xFFFF, 0, 4000000000ULL, {}}}), 2000));
        QList<QByteArray> lines;
        const Result r = StopAfter(monitor, 4, lines);
        QCOMPARE(r.code, 0);
        QVERIFY2(lines.size() == 4, (lines.join('\n') + r.err).constData());
        auto field = [&](int i, const char* name) {
            return QJsonDocument::fromJson(lines.at(i)).object().value(name).toString();
        };
        QCOMPARE(field(0, "name"), QString("ExposureStart_0"));
        QCOMPARE(field(0, "id"), QString("0x9000"));
        QVERIFY2(lines.at(0).startsWith("{\"seconds\":1.50000000,"), lines.at(0).constData()); // a number
        QCOMPARE(field(1, "name"), QString("TriggerOverrun_2"));
        QVERIFY(lines.at(1).startsWith("{\"seconds\":2.00000000,"));
        QCOMPARE(field(2, "name"), QString("0x1234"));
        QVERIFY(lines.at(2).startsWith("{\"seconds\":3.00000000,"));
        QVERIFY2(r.err.contains("# malformed packets: 1"), r.err.constData());
        QVERIFY(started.contains("# watching Fake"));
    }

    // A camera that describes its events the standard way: its model, what Aravis reads of our writes, and
    // its events with the data their ports declare.
    void standardCamera()
    {
        QVERIFY(m_camera.Start(QFINDTESTDATA("../data/gige/standard_gev.xml"), "DVS3000"));
        QVERIFY(m_camera.AdvertiseEvents());
        Result r = Cli({"show", "--device", "Fake", "--level", "guru"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("\nType Event Control [EventControl:0] state=off\n  Channel All Events [AllEvents:0] state=off\n"
                                "    Event Acquisition Start [AcquisitionStart:0] state=off device=off\n"),
                 r.out.constData());
        QVERIFY(r.out.contains("[Test:9] state=off guru device=off") && !r.out.contains("Timer0End"));

        r = Cli({"set", "--device", "Fake", "--all-off", "--on", "FrameEnd", "--on", "Test"});
        QCOMPARE(r.code, 0);
        QCOMPARE(ArvRead({"EventSelector=FrameEnd"}), QByteArray("EventNotification = On"));
        QCOMPARE(ArvRead({"EventSelector=Test"}), QByteArray("EventNotification = On"));
        QCOMPARE(ArvRead({"EventSelector=ExposureStart"}), QByteArray("EventNotification = Off"));
        const QString path = m_dir.filePath("standard.ect");
        QCOMPARE(Cli({"export", "--device", "Fake", path}).code, 0);
        QCOMPARE(Cli({"set", "--device", "Fake", "--all-off"}).code, 0);
        QCOMPARE(ArvRead({"EventSelector=FrameEnd"}), QByteArray("EventNotification = Off"));
        QCOMPARE(Cli({"import", "--device", "Fake", path}).out, QByteArray("Succeed.\nApplied.\n"));
        QCOMPARE(ArvRead({"EventSelector=FrameEnd"}), QByteArray("EventNotification = On"));
        r = Cli({"show", "--device", "Fake"});
        QVERIFY2(LineOf(r.out, "[Test:9]").contains("state=on guru device=on"), r.out.constData());

        QProcess monitor;
        QByteArray started;
        QVERIFY(StartMonitor(monitor, {"--device", "Fake", "--format", "jsonl"}, started));
        GvcpEventSender sender;
        QVERIFY2(sender.ReadChannel() && sender.HostPort() != 0, sender.LastError().c_str());
        QVERIFY(sender.WaitAck(sender.SendEvents({{0x9001, 0xFFFF, 41, 1000000000ULL, {}}}), 2000));
        QVERIFY(sender.WaitAck(sender.SendEventData({0x9004, 0xFFFF, 42, 2000000000ULL, std::string("\x00\x01\xE2\x40", 4)}), 2000));
        QVERIFY(sender.WaitAck(sender.SendEventData({0x9005, 0xFFFF, 0, 3000000000ULL, std::string("\xFE\xFF", 2)}), 2000));
        QVERIFY(sender.WaitAck(sender.SendEvents({{0x9004, 0xFFFF, 43, 4000000000ULL, {}}}), 2000)); // no EVENTDATA
        QList<QByteArray> lines;
        r = StopAfter(monitor, 4, lines);
        QCOMPARE(r.code, 0);
        QCOMPARE(lines.size(), 4);
        auto event = [&](int i) { return QJsonDocument::fromJson(lines.at(i)).object(); };
        QCOMPARE(event(0).value("name").toString(), QString("FrameStart"));
        QCOMPARE(event(0).value("data").toObject(), (QJsonObject{{"FrameID", 41}}));
        QCOMPARE(event(1).value("name").toString(), QString("ExposureEnd"));
        QCOMPARE(event(1).value("data").toObject(), (QJsonObject{{"FrameID", 42}, {"ExposureTime", 123456}}));
        QCOMPARE(event(2).value("name").toString(), QString("Line0RisingEdge"));
        QCOMPARE(event(2).value("data").toObject(), (QJsonObject{{"LineStatus", -2}})); // little-endian, signed
        QCOMPARE(event(3).value("data").toObject(), (QJsonObject{{"FrameID", 43}})); // the record holds no more
    }

    // A camera without a message channel cannot send events: monitor says so and ends, watching nothing.
    void monitorWithoutAMessageChannel()
    {
        QVERIFY(m_camera.AdvertiseEvents(false));
        const Result r = Cli({"monitor", "--device", "Fake"});
        QCOMPARE(r.code, 10);
        QVERIFY2(r.err.contains("Fake cannot send events: its producer refused them (error 0xfffffc0a)"), r.err.constData());
        QVERIFY(!r.err.contains("# watching"));
    }

    // The camera powered off while events are watched: a clear error, not a silent wait.
    void cameraGoneWhileMonitoring()
    {
        QProcess monitor;
        QByteArray started;
        QVERIFY(StartMonitor(monitor, {"--device", "Fake"}, started));
        m_camera.Kill();
        QElapsedTimer clock;
        clock.start();
        const Result r = Finish(monitor, 30000);
        QCOMPARE(r.code, 8);
        QVERIFY2(r.err.contains("stopped sending events"), r.err.constData());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    // The camera powered off while its model is read: the read fails with an error within the retries,
    // and the other devices still work.
    void cameraGoneWhileReading()
    {
        QVERIFY(m_camera.Start(QFINDTESTDATA("../data/gige/camera_b_gev.xml")));
        QProcess show;
        StartCli(show, {"show", "--device", "Fake", "--level", "guru"});
        QVERIFY(show.waitForStarted());
        // The camera goes away as soon as the command holds it, while it reads.
        GvcpEventSender other;
        uint32_t privilege = 0;
        QElapsedTimer opening;
        opening.start();
        while ((!other.ReadRegister(0x0A00, privilege) || privilege == 0) && opening.elapsed() < 30000)
            QThread::msleep(1);
        QVERIFY(privilege != 0);
        m_camera.Kill();
        QElapsedTimer clock;
        clock.start();
        const Result r = Finish(show, 60000);
        QVERIFY2(r.code != 0 && r.code != -1, r.out.right(300).constData());
        QVERIFY(!r.err.isEmpty());
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(Cli({"show", "--device", "DV-IO8000 IO Controller"}).code, 0);
    }
};

QTEST_GUILESS_MAIN(TestGigECli)
#include "tst_gigecli.moc"
