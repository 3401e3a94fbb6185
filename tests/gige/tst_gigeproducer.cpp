#include "fakecamera.h"
#include "gentlclient.h"
#include "gvcpeventsender.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

const QByteArray kDeviceId = "Aravis-DVA2040";

QByteArray record(uint16_t id, uint64_t timestamp)
{
    QByteArray r(16, '\0');
    auto* p = reinterpret_cast<uint8_t*>(r.data());
    p[2] = uint8_t(id >> 8);
    p[3] = uint8_t(id);
    p[4] = p[5] = 0xff;
    for (int i = 0; i < 8; ++i)
        p[8 + i] = uint8_t(timestamp >> (56 - 8 * i));
    return r;
}

} // namespace

// DoVIGigE.cti driven through its GenTL functions against Aravis's fake GigE Vision camera on loopback,
// with the events sent by our own camera-side sender.
class TestGigEProducer : public QObject
{
    Q_OBJECT

private:
    FakeCamera m_camera;
    GenTLClient* m_gentl = nullptr;
    IF_HANDLE m_hIface = nullptr;
    DEV_HANDLE m_hDevice = nullptr;
    PORT_HANDLE m_hPort = nullptr;

    bool OpenDevice(DEVICE_ACCESS_FLAGS flags = DEVICE_ACCESS_EXCLUSIVE)
    {
        m_hIface = m_gentl->OpenInterface("lo");
        if (!m_hIface)
            return false;
        if (m_gentl->IFOpenDevice(m_hIface, kDeviceId.constData(), flags, &m_hDevice) != GC_ERR_SUCCESS)
            return false;
        return m_gentl->DevGetPort(m_hDevice, &m_hPort) == GC_ERR_SUCCESS;
    }

    // The next event record, or an empty array with the code in rc.
    QByteArray NextEvent(EVENT_HANDLE hEvent, uint64_t timeoutMs, GC_ERROR* rc = nullptr)
    {
        QByteArray buffer(1024, '\0');
        size_t size = size_t(buffer.size());
        const GC_ERROR code = m_gentl->EventGetData(hEvent, buffer.data(), &size, timeoutMs);
        if (rc)
            *rc = code;
        return code == GC_ERR_SUCCESS ? buffer.left(int(size)) : QByteArray();
    }

    uint64_t EventCount(EVENT_HANDLE hEvent, EVENT_INFO_CMD cmd)
    {
        return GenTLClient::Value<uint64_t>(m_gentl->EventGetInfo, hEvent, cmd);
    }

private slots:
    void init()
    {
        QVERIFY(m_camera.Start(QFINDTESTDATA("../data/gige/camera_a_gev.xml")));
        QVERIFY(m_camera.AdvertiseEvents());
        m_gentl = new GenTLClient(SALTIRE_DOVIGIGE_CTI);
        QVERIFY(m_gentl->Load());
    }

    void cleanup()
    {
        delete m_gentl; // closes every device first
        m_gentl = nullptr;
        m_hIface = m_hDevice = m_hPort = nullptr;
        m_camera.Stop();
    }

    void discoveryAndInfo()
    {
        QElapsedTimer clock;
        clock.start();
        m_hIface = m_gentl->OpenInterface("lo");
        QVERIFY(m_hIface);
        QVERIFY2(clock.elapsed() < 1000, "a loopback-only discovery does not wait out the full time");
        QCOMPARE(GenTLClient::Value<uint32_t>(m_gentl->TLGetInterfaceInfo, m_gentl->hSystem, "lo",
                                              INTERFACE_INFO_DOVI_IP_ADDRESS),
                 0x7F000001u);
        QCOMPARE(GenTLClient::Text(m_gentl->TLGetInfo, m_gentl->hSystem, TL_INFO_TLTYPE), QByteArray("GEV"));
        uint32_t nDevices = 0;
        QCOMPARE(m_gentl->IFGetNumDevices(m_hIface, &nDevices), GC_ERR_SUCCESS);
        QCOMPARE(nDevices, 1u);
        auto info = [&](DEVICE_INFO_CMD cmd) {
            return GenTLClient::Text(m_gentl->IFGetDeviceInfo, m_hIface, kDeviceId.constData(), cmd);
        };
        QCOMPARE(info(DEVICE_INFO_ID), kDeviceId);
        QCOMPARE(info(DEVICE_INFO_VENDOR), QByteArray("Aravis"));
        QCOMPARE(info(DEVICE_INFO_MODEL), QByteArray("Fake"));
        QCOMPARE(info(DEVICE_INFO_SERIAL_NUMBER), QByteArray("DVA2040"));
        QCOMPARE(info(DEVICE_INFO_TLTYPE), QByteArray("GEV"));
        // The access status is what the camera's control privilege says, before and after the open.
        auto listed = [&] {
            return GenTLClient::Value<int32_t>(m_gentl->IFGetDeviceInfo, m_hIface, kDeviceId.constData(),
                                               DEVICE_INFO_ACCESS_STATUS);
        };
        QCOMPARE(listed(), int32_t(DEVICE_ACCESS_STATUS_READWRITE));

        QCOMPARE(m_gentl->IFOpenDevice(m_hIface, kDeviceId.constData(), DEVICE_ACCESS_EXCLUSIVE, &m_hDevice), GC_ERR_SUCCESS);
        QCOMPARE(GenTLClient::Value<int32_t>(m_gentl->DevGetInfo, m_hDevice, DEVICE_INFO_ACCESS_STATUS),
                 int32_t(DEVICE_ACCESS_STATUS_OPEN_READWRITE));
        QCOMPARE(listed(), int32_t(DEVICE_ACCESS_STATUS_OPEN_READWRITE));
        QCOMPARE(m_gentl->DevGetPort(m_hDevice, &m_hPort), GC_ERR_SUCCESS);
        QCOMPARE(GenTLClient::Value<uint64_t>(m_gentl->DevGetInfo, m_hDevice, DEVICE_INFO_TIMESTAMP_FREQUENCY),
                 uint64_t(1000000000));
        QCOMPARE(GenTLClient::Value<bool8_t>(m_gentl->GCGetPortInfo, m_hPort, PORT_INFO_BIG_ENDIAN), bool8_t(1));
        const QByteArray url = GenTLClient::Text(m_gentl->GCGetPortURLInfo, m_hPort, 0, URL_INFO_URL);
        QVERIFY2(url.startsWith("Local:arv-fake-camera.xml;10000;"), url.constData());
        QCOMPARE(GenTLClient::Value<uint64_t>(m_gentl->GCGetPortURLInfo, m_hPort, 0, URL_INFO_FILE_REGISTER_ADDRESS),
                 uint64_t(0x10000));
        // A second open of the same camera in this process is refused, not queued.
        DEV_HANDLE second = nullptr;
        QCOMPARE(m_gentl->IFOpenDevice(m_hIface, kDeviceId.constData(), DEVICE_ACCESS_CONTROL, &second),
                 GC_ERR_RESOURCE_IN_USE);
    }

    // Register and memory commands: a register as a register command, anything else in whole words.
    void portReadsAndWrites()
    {
        QVERIFY(OpenDevice());
        const uint8_t value[4] = {0x00, 0x00, 0x00, 0x02};
        size_t size = 4;
        QCOMPARE(m_gentl->GCWritePort(m_hPort, 0x1008, value, &size), GC_ERR_SUCCESS);
        GvcpEventSender other;
        uint32_t seen = 0;
        QVERIFY(other.ReadRegister(0x1008, seen));
        QCOMPARE(seen, 2u);
        uint8_t bytes[6] = {};
        size = sizeof bytes;
        QCOMPARE(m_gentl->GCReadPort(m_hPort, 0x1006, bytes, &size), GC_ERR_SUCCESS);
        QCOMPARE(bytes[3], uint8_t(0x00));
        QCOMPARE(bytes[5], uint8_t(0x02));
        // Writes inside a word keep its other bytes.
        const uint8_t one = 0x7f;
        size = 1;
        QCOMPARE(m_gentl->GCWritePort(m_hPort, 0x1009, &one, &size), GC_ERR_SUCCESS);
        QVERIFY(other.ReadRegister(0x1008, seen));
        QCOMPARE(seen, 0x007f0002u);
        char xml[16] = {};
        // Nothing to transfer is no error, and no traffic.
        auto transactions = [&] {
            return GenTLClient::Value<uint64_t>(m_gentl->TLGetInfo, m_gentl->hSystem, TL_INFO_DOVI_TRANSACTIONS);
        };
        const uint64_t before = transactions();
        size = 0;
        QCOMPARE(m_gentl->GCReadPort(m_hPort, 0x1008, xml, &size), GC_ERR_SUCCESS);
        QCOMPARE(m_gentl->GCWritePort(m_hPort, 0x1008, xml, &size), GC_ERR_SUCCESS);
        QCOMPARE(size, size_t(0));
        QCOMPARE(transactions(), before);
    }

    void anotherControllerIsRefusedQuickly()
    {
        GvcpEventSender other;
        QVERIFY(other.WriteRegister(0x0A00, 2)); // the other application takes control
        m_hIface = m_gentl->OpenInterface("lo");
        QVERIFY(m_hIface);
        QCOMPARE(GenTLClient::Value<int32_t>(m_gentl->IFGetDeviceInfo, m_hIface, kDeviceId.constData(),
                                             DEVICE_INFO_ACCESS_STATUS),
                 int32_t(DEVICE_ACCESS_STATUS_READONLY));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(m_gentl->IFOpenDevice(m_hIface, kDeviceId.constData(), DEVICE_ACCESS_EXCLUSIVE, &m_hDevice),
                 GC_ERR_ACCESS_DENIED);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        // Reading needs no control: a read-only open goes at once, and reads what a consumer reads.
        clock.restart();
        QCOMPARE(m_gentl->IFOpenDevice(m_hIface, kDeviceId.constData(), DEVICE_ACCESS_READONLY, &m_hDevice),
                 GC_ERR_SUCCESS);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_gentl->DevGetPort(m_hDevice, &m_hPort), GC_ERR_SUCCESS);
        char xml[6] = {};
        size_t size = 5;
        QCOMPARE(m_gentl->GCReadPort(m_hPort, 0x10000, xml, &size), GC_ERR_SUCCESS);
        QCOMPARE(QByteArray(xml), QByteArray("<?xml"));
        const uint8_t value[4] = {0, 0, 0, 1};
        size = 4;
        QCOMPARE(m_gentl->GCWritePort(m_hPort, 0x1008, value, &size), GC_ERR_ACCESS_DENIED);
        EVENT_HANDLE hEvent = nullptr; // events need control: refused at once, not after the write retries
        QCOMPARE(m_gentl->GCRegisterEvent(m_hDevice, EVENT_REMOTE_DEVICE, &hEvent), GC_ERR_ACCESS_DENIED);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        uint32_t privilege = 0;
        QVERIFY(other.ReadRegister(0x0A00, privilege));
        QCOMPARE(privilege, 2u); // the other application still holds it
        QCOMPARE(m_gentl->DevClose(m_hDevice), GC_ERR_SUCCESS);
        m_hDevice = nullptr;
        QVERIFY(other.WriteRegister(0x0A00, 0));
        QCOMPARE(m_gentl->IFOpenDevice(m_hIface, kDeviceId.constData(), DEVICE_ACCESS_EXCLUSIVE, &m_hDevice),
                 GC_ERR_SUCCESS);
    }

    // One session over the message channel: every record once, acknowledged as asked, counted when lost
    // or malformed, and the channel closed again at the end.
    void messageChannel()
    {
        QVERIFY(OpenDevice());
        EVENT_HANDLE hEvent = nullptr;
        QCOMPARE(m_gentl->GCRegisterEvent(m_hDevice, EVENT_REMOTE_DEVICE, &hEvent), GC_ERR_SUCCESS);
        GvcpEventSender sender;
        QVERIFY(sender.ReadChannel());
        QVERIFY(sender.HostPort() != 0);
        QCOMPARE(sender.Destination(), 0x7F000001u);
        QVERIFY(EventCount(hEvent, EVENT_DOVI_RECEIVE_BUFFER) >= 65536); // what the system granted
        QVERIFY(sender.TimeoutMs() > 0);
        QVERIFY(sender.RetryCount() > 0);

        // Several records in one packet, in order, with their ids and time stamps.
        const uint16_t first = sender.SendEvents({{0x9000, 0xFFFF, 0, 0x0000000100000002ULL, {}},
                                                  {0x9015, 0xFFFF, 0, 0x0000000100000003ULL, {}},
                                                  {0x1234, 0xFFFF, 0, 5, {}}});
        QVERIFY(first);
        QCOMPARE(NextEvent(hEvent, 2000), record(0x9000, 0x0000000100000002ULL));
        QCOMPARE(NextEvent(hEvent, 2000), record(0x9015, 0x0000000100000003ULL));
        QCOMPARE(NextEvent(hEvent, 2000), record(0x1234, 5));
        QVERIFY(sender.WaitAck(first, 2000));

        // A retransmission is acknowledged again but delivered once.
        QCOMPARE(sender.Resend(), first);
        QVERIFY(sender.WaitAckCount(first, 2, 2000));
        GC_ERROR rc = GC_ERR_SUCCESS;
        QVERIFY(NextEvent(hEvent, 200, &rc).isEmpty());
        QCOMPARE(rc, GC_ERR_TIMEOUT);

        // Event data: the record, then its data.
        GvcpEventSender::Event withData{0x9001, 3, 7, 0x42, std::string("\x01\x02\x03\x04", 4)};
        const uint16_t dataId = sender.SendEventData(withData);
        QVERIFY(sender.WaitAck(dataId, 2000));
        const QByteArray rec = NextEvent(hEvent, 2000);
        QCOMPARE(rec.size(), 20);
        QCOMPARE(rec.right(4), QByteArray("\x01\x02\x03\x04", 4));

        // Three request ids that never came are lost events; the channel goes on.
        sender.SetNextRequestId(uint16_t(sender.NextRequestId() + 3));
        QVERIFY(sender.SendEvents({{0x9002, 0xFFFF, 0, 9, {}}}));
        QCOMPARE(NextEvent(hEvent, 2000), record(0x9002, 9));
        QCOMPARE(EventCount(hEvent, EVENT_DOVI_NUM_LOST), uint64_t(3));

        // Malformed packets are dropped and counted, never acknowledged, and the channel goes on.
        for (auto kind : {GvcpEventSender::Malformation::TooShort, GvcpEventSender::Malformation::WrongKey,
                          GvcpEventSender::Malformation::LengthMismatch,
                          GvcpEventSender::Malformation::UnalignedPayload})
            QVERIFY(sender.SendMalformed(kind));
        const uint16_t after = sender.SendEvents({{0x9003, 0xFFFF, 0, 10, {}}});
        QCOMPARE(NextEvent(hEvent, 2000), record(0x9003, 10));
        QVERIFY(sender.WaitAck(after, 2000));
        QCOMPARE(EventCount(hEvent, EVENT_DOVI_NUM_MALFORMED), uint64_t(4));
        QCOMPARE(EventCount(hEvent, EVENT_NUM_FIRED), uint64_t(6));

        // A count that jumps far back (a camera that restarted it) is a restart: delivered, counted, and
        // the count goes on from there; nothing is lost or thrown away.
        const uint64_t lostBefore = EventCount(hEvent, EVENT_DOVI_NUM_LOST);
        sender.SetNextRequestId(uint16_t(after + 40000)); // more than half the id range behind
        const uint16_t restarted = sender.SendEvents({{0x9004, 0xFFFF, 0, 11, {}}});
        QCOMPARE(NextEvent(hEvent, 2000), record(0x9004, 11));
        QVERIFY(sender.SendEvents({{0x9005, 0xFFFF, 0, 12, {}}}));
        QCOMPARE(NextEvent(hEvent, 2000), record(0x9005, 12));
        QVERIFY(sender.WaitAck(restarted, 2000));
        QCOMPARE(EventCount(hEvent, EVENT_DOVI_NUM_RESTARTS), uint64_t(1));
        QCOMPARE(EventCount(hEvent, EVENT_DOVI_NUM_LOST), lostBefore);
        QCOMPARE(sender.Resend(), uint16_t(restarted + 1)); // a retransmission right after is still one
        QVERIFY(sender.WaitAckCount(uint16_t(restarted + 1), 2, 2000));
        QVERIFY(NextEvent(hEvent, 200, &rc).isEmpty());
        QCOMPARE(EventCount(hEvent, EVENT_NUM_FIRED), uint64_t(8));

        // A single packet far ahead, or a stale copy far behind (nothing authenticates GVCP): delivered, but
        // the count goes on from the real one; nothing is dropped, nothing counted lost.
        const uint64_t lostNow = EventCount(hEvent, EVENT_DOVI_NUM_LOST);
        const uint16_t next = sender.NextRequestId();
        for (uint16_t stray : {uint16_t(next + 32767), uint16_t(next + 40000)}) {
            sender.SetNextRequestId(stray);
            QVERIFY(sender.SendEvents({{0x9006, 0xFFFF, 0, 13, {}}}));
            QCOMPARE(NextEvent(hEvent, 2000), record(0x9006, 13));
        }
        sender.SetNextRequestId(next);
        for (uint64_t t = 14; t < 17; ++t) {
            QVERIFY(sender.SendEvents({{0x9007, 0xFFFF, 0, t, {}}}));
            QCOMPARE(NextEvent(hEvent, 2000), record(0x9007, t));
        }
        QCOMPARE(EventCount(hEvent, EVENT_DOVI_NUM_LOST), lostNow);
        QCOMPARE(EventCount(hEvent, EVENT_DOVI_NUM_RESTARTS), uint64_t(1));

        // Unregistering closes the channel on the camera and ends a waiting thread at once.
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(m_gentl->GCUnregisterEvent(m_hDevice, EVENT_REMOTE_DEVICE), GC_ERR_SUCCESS);
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(sender.ReadChannel());
        QCOMPARE(sender.HostPort(), uint16_t(0));
    }

    // A flood of malformed packets neither holds the valid events back nor the end of the channel: events
    // arrive while it goes on (sent as a camera sends them, again until acknowledged), and unregistering
    // returns while it goes on.
    void floodOfMalformedPackets()
    {
        QVERIFY(OpenDevice());
        EVENT_HANDLE hEvent = nullptr;
        QCOMPARE(m_gentl->GCRegisterEvent(m_hDevice, EVENT_REMOTE_DEVICE, &hEvent), GC_ERR_SUCCESS);
        GvcpEventSender sender;
        QVERIFY(sender.ReadChannel());
        std::atomic<bool> stop{false};
        std::vector<std::thread> flood;
        for (int i = 0; i < 2; ++i)
            flood.emplace_back([&stop] {
                GvcpEventSender f;
                if (f.ReadChannel())
                    while (!stop)
                        f.SendMalformed(GvcpEventSender::Malformation::WrongKey);
            });
        for (uint64_t t = 1; t <= 5; ++t) {
            const uint16_t id = sender.SendEvents({{0x9000, 0xFFFF, 0, t, {}}});
            for (int tries = 0; id && !sender.WaitAck(id, 200) && tries < 100; ++tries)
                sender.Resend();
            QCOMPARE(NextEvent(hEvent, 10000), record(0x9000, t));
        }
        QCOMPARE(m_gentl->GCUnregisterEvent(m_hDevice, EVENT_REMOTE_DEVICE), GC_ERR_SUCCESS);
        stop = true;
        for (std::thread& t : flood)
            t.join();
    }

    // A camera that goes away: the waiting event thread gets an error, port calls fail within the
    // timeout and retries, and closing does not hang.
    void cameraGoesAway()
    {
        QVERIFY(OpenDevice());
        EVENT_HANDLE hEvent = nullptr;
        QCOMPARE(m_gentl->GCRegisterEvent(m_hDevice, EVENT_REMOTE_DEVICE, &hEvent), GC_ERR_SUCCESS);
        m_camera.Kill();
        QElapsedTimer clock;
        clock.start();
        uint8_t word[4];
        size_t size = 4;
        QVERIFY(m_gentl->GCReadPort(m_hPort, 0x1000, word, &size) != GC_ERR_SUCCESS);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        GC_ERROR rc = GC_ERR_TIMEOUT;
        while (rc == GC_ERR_TIMEOUT && clock.elapsed() < 20000)
            NextEvent(hEvent, 500, &rc);
        QCOMPARE(rc, GC_ERR_IO);
        clock.restart();
        QCOMPARE(m_gentl->DevClose(m_hDevice), GC_ERR_SUCCESS);
        m_hDevice = nullptr;
        // A camera known lost is closed without waiting for it: its retries would only wait for nothing.
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    // Every packet of a session, ours and the camera's, decoded by Wireshark's GVCP dissector.
    void packetsDecodeCleanly()
    {
        if (QStandardPaths::findExecutable("tshark").isEmpty())
            QFAIL("tshark is missing (Debian package tshark)");
        QTemporaryDir dir;
        const QString capture = dir.filePath("gvcp.pcapng");
        QProcess tshark;
        tshark.setProcessChannelMode(QProcess::MergedChannels);
        // Each packet's destination port is printed once it is in the file (-P): the test waits for its marker.
        tshark.start("tshark", {"-i", "lo", "-f", "udp", "-w", capture, "-P", "-l", "-T", "fields", "-e", "udp.dstport"});
        QVERIFY(tshark.waitForStarted(5000));
        QByteArray started;
        QElapsedTimer waited;
        waited.start();
        while (!started.contains("Capture started") && tshark.state() == QProcess::Running && waited.elapsed() < 15000)
            if (tshark.waitForReadyRead(500))
                started += tshark.readAll();
        if (tshark.state() != QProcess::Running)
            QSKIP("this machine does not let tshark capture on loopback");
        QVERIFY2(started.contains("Capture started"), started.constData());

        QVERIFY(OpenDevice());
        // The description, read as a consumer does after the open: the camera sends it once per open.
        auto url = [&](URL_INFO_CMD cmd) {
            return GenTLClient::Value<uint64_t>(m_gentl->GCGetPortURLInfo, m_hPort, 0, cmd);
        };
        const uint64_t nDescription = url(URL_INFO_FILE_SIZE);
        const uint64_t nAddress = url(URL_INFO_FILE_REGISTER_ADDRESS);
        QVERIFY(nDescription > 1000 && nDescription < 0x100000);
        QByteArray description(int(nDescription), '\0');
        for (uint64_t done = 0; done < nDescription;) {
            size_t n = size_t(qMin<uint64_t>(0x10000, nDescription - done));
            QCOMPARE(m_gentl->GCReadPort(m_hPort, nAddress + done, description.data() + done, &n), GC_ERR_SUCCESS);
            done += n;
        }
        QVERIFY(description.startsWith("<?xml"));
        EVENT_HANDLE hEvent = nullptr;
        QCOMPARE(m_gentl->GCRegisterEvent(m_hDevice, EVENT_REMOTE_DEVICE, &hEvent), GC_ERR_SUCCESS);
        GvcpEventSender sender;
        QVERIFY(sender.ReadChannel());
        const uint16_t channelPort = sender.HostPort();
        const uint16_t id = sender.SendEvents({{0x9000, 0xFFFF, 0, 1, {}}, {0x9001, 0xFFFF, 0, 2, {}}});
        QVERIFY(sender.WaitAck(id, 2000));
        QVERIFY(sender.WaitAck(sender.SendEventData({0x9002, 0xFFFF, 0, 3, std::string(8, 'x')}), 2000));
        QVERIFY(!NextEvent(hEvent, 2000).isEmpty());
        QCOMPARE(m_gentl->GCUnregisterEvent(m_hDevice, EVENT_REMOTE_DEVICE), GC_ERR_SUCCESS);
        QCOMPARE(m_gentl->DevClose(m_hDevice), GC_ERR_SUCCESS);
        m_hDevice = nullptr;
        // A last packet, to a port of our own, after the session's: once it is in the file, all of them are.
        GvcpEventSender marker;
        const QByteArray markerLine = "\n" + QByteArray::number(marker.LocalPort()) + "\n";
        marker.SetChannel(0x7F000001, marker.LocalPort());
        QVERIFY(marker.SendEvents({{0x9000, 0xFFFF, 0, 0, {}}}, false) != 0);
        QTRY_VERIFY_WITH_TIMEOUT((started += tshark.readAll()).contains(markerLine), 30000);
        tshark.terminate();
        QVERIFY(tshark.waitForFinished(10000));

        auto decode = [&](const QString& filter) {
            QProcess reader;
            reader.start("tshark", {"-r", capture, "-d", QString("udp.port==%1,gvcp").arg(channelPort), "-Y", filter});
            if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
                return QByteArray("tshark failed: ") + reader.readAllStandardError();
            return reader.readAllStandardOutput();
        };
        QVERIFY(channelPort != 0);
        QCOMPARE(decode("_ws.malformed || _ws.expert.severity >= error"), QByteArray());
        QVERIFY(!decode("gvcp.cmd.command == 0x0080").isEmpty()); // register reads
        // Memory reads: the description once (at most 512 bytes each), not twice.
        const int nMemoryReads = decode("gvcp.cmd.command == 0x0084").count('\n');
        const int nOneDownload = int((nDescription + 511) / 512);
        QVERIFY2(nMemoryReads >= nOneDownload && nMemoryReads < nOneDownload + nOneDownload / 4,
                 qPrintable(QString("%1 memory reads, %2 for one download").arg(nMemoryReads).arg(nOneDownload)));
        QVERIFY(!decode("gvcp.cmd.command == 0x00c0").isEmpty()); // events
        QVERIFY(!decode("gvcp.cmd.command == 0x00c2").isEmpty()); // event data
        QVERIFY(!decode("gvcp.ack == 0x00c1").isEmpty()); // our acknowledgements
        QVERIFY(!decode("gvcp.ack == 0x00c3").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGigEProducer)
#include "tst_gigeproducer.moc"
