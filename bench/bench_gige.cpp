// GigE Vision figures over loopback, against Aravis's fake camera (it must be installed; port 3956 must be
// free):
//   1. events sent at full speed into the message channel (our camera-side sender: 33 records per packet
//      without acknowledgement, then one event per packet with an acknowledgement asked for each, as most
//      cameras send them) and printed by the monitor's printer to a file: how many arrive, how fast, and
//      the receive buffer the system granted the channel;
//   2. opening the fake camera serving the IO controller's description and reading its event model, beside
//      the same read on the simulated IO controller: time, port calls, GVCP transactions;
//   3. the message channel flooded with malformed packets from two threads as fast as they go, while the
//      camera sends a valid event every 5 ms: how late the valid ones arrive (target: at most 200 ms, none
//      lost) and how long stopping the events takes meanwhile (target: under 100 ms);
//   4. the camera killed while its events are watched: how long until the tool knows (target: within 3 s).
//
//   bench_gige [events]   (200000 by default)

#include "clisession.h"
#include "eventprinter.h"
#include "gentl.h"
#include "fakecamera.h"
#include "gvcpeventsender.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

std::FILE* g_console = stdout;

uint64_t producerCount(const QString& file, TL_INFO_CMD cmd)
{
    // The same file as the device-access library loaded, so the same counters.
    QLibrary library(QFileInfo(file).canonicalFilePath());
    auto info = reinterpret_cast<PGCGetInfo>(library.resolve("GCGetInfo"));
    uint64_t value = 0;
    size_t size = sizeof value;
    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
    if (!info || info(cmd, &type, &value, &size) != GC_ERR_SUCCESS)
        return 0;
    return value;
}


// The fake camera, opened and read as the command line does; null (and said) when it cannot be.
CCamInterface* openFake(CliSession& session, const char* szWhat)
{
    const int index = session.FindDevice("Fake");
    if (index < 0 || !session.Read(index)) {
        std::fprintf(g_console, "%s: the fake camera cannot be opened\n", szWhat);
        return nullptr;
    }
    return session.Interface(index);
}

void onEvent(EventRecord* pRecord, void* pUser)
{
    static_cast<EventPrinter*>(pUser)->OnEvent(pRecord);
}

void benchEvents(size_t nEvents, size_t nPerPacket, bool bAck, double dRate)
{
    CliSession session;
    CCamInterface* cam = openFake(session, "events");
    if (!cam)
        return;
    QTemporaryDir dir;
    const QString path = dir.filePath("events.txt");
    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    if (!std::freopen(path.toLocal8Bit().constData(), "w", stdout))
        return;
    {
        EventPrinter printer(cam, "text");
        cam->RegisterEventCallback(&onEvent, &printer);
        GvcpEventSender sender;
        sender.ReadChannel();
        QElapsedTimer clock;
        clock.start();
        const size_t packets = sender.SendBurst(0x9000, nEvents, nPerPacket, 1, bAck, dRate);
        const double sendSeconds = clock.nsecsElapsed() / 1e9;
        long last = -1;
        QElapsedTimer quiet;
        quiet.start();
        while (printer.Count() < long(nEvents) && quiet.elapsed() < 3000) {
            if (printer.Count() != last) {
                last = printer.Count();
                quiet.restart();
            }
            QThread::msleep(1);
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        cam->RegisterEventCallback(nullptr, nullptr);
        NXADeviceStatus status{};
        NXAGetDeviceStatus(cam, &status);
        std::fflush(stdout);
        QFile file(path);
        long lines = 0;
        if (file.open(QIODevice::ReadOnly))
            lines = file.readAll().count('\n');
        std::fprintf(g_console,
                     "events, %zu per packet%s%s: %zu sent in %zu packets in %.3f s; %ld printed in %.3f s = %.0f events "
                     "per second (target: at least 100000/s, none lost); lost on the way %llu packets, %ld lines in the "
                     "file: %s; receive buffer granted %llu bytes\n",
                     nPerPacket, bAck ? ", each acknowledged" : "",
                     dRate > 0 ? qPrintable(QString(", sent at %1/s").arg(dRate, 0, 'f', 0)) : "", nEvents, packets, sendSeconds, printer.Count(),
                     seconds, printer.Count() / seconds, (unsigned long long)status.nLost, lines,
                     printer.Count() == long(nEvents) && lines == long(nEvents) ? "none lost" : "EVENTS LOST",
                     (unsigned long long)status.nReceiveBuffer);
    }
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
}

void benchRead(const QString& label, const QString& which, const QString& producerFile)
{
    const uint64_t reads = producerCount(producerFile, TL_INFO_DOVI_PORT_READS);
    const uint64_t writes = producerCount(producerFile, TL_INFO_DOVI_PORT_WRITES);
    const uint64_t transactions = producerCount(producerFile, TL_INFO_DOVI_TRANSACTIONS);
    QElapsedTimer clock;
    clock.start();
    CliSession session;
    const int index = session.FindDevice(which);
    const bool bRead = index >= 0 && session.Read(index);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (!bRead) {
        std::fprintf(g_console, "%s: cannot be read\n", qPrintable(label));
        return;
    }
    std::fprintf(g_console, "%-44s open and read %8.1f ms, port reads %7llu, port writes %5llu, GVCP transactions %7llu\n",
                 qPrintable(label), ms,
                 (unsigned long long)(producerCount(producerFile, TL_INFO_DOVI_PORT_READS) - reads),
                 (unsigned long long)(producerCount(producerFile, TL_INFO_DOVI_PORT_WRITES) - writes),
                 (unsigned long long)(producerCount(producerFile, TL_INFO_DOVI_TRANSACTIONS) - transactions));
}

uint64_t nowNs()
{
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch()).count());
}

void benchFlood(int nSeconds)
{
    CliSession session;
    CCamInterface* cam = openFake(session, "flood");
    if (!cam)
        return;
    // Each valid event carries its sending time as its time stamp.
    struct Latency {
        std::mutex mutex;
        double dMaxMs = 0;
        long nCount = 0;
    } latency;
    cam->RegisterEventCallback([](EventRecord* r, void* pUser) {
        auto* l = static_cast<Latency*>(pUser);
        const uint64_t sent = (uint64_t(r->nTimestampHigh) << 32) | r->nTimestampLow;
        std::lock_guard<std::mutex> lock(l->mutex);
        l->dMaxMs = std::max(l->dMaxMs, (nowNs() - sent) / 1e6);
        ++l->nCount;
    }, &latency);
    GvcpEventSender sender;
    if (!sender.ReadChannel()) {
        std::fprintf(g_console, "flood: the message channel is not open\n");
        return;
    }
    std::atomic<bool> stop{false};
    std::atomic<long> flooded{0};
    std::vector<std::thread> flood;
    for (int i = 0; i < 2; ++i)
        flood.emplace_back([&] {
            GvcpEventSender f;
            if (!f.ReadChannel())
                return;
            while (!stop)
                if (f.SendMalformed(GvcpEventSender::Malformation::WrongKey))
                    ++flooded;
        });
    QElapsedTimer clock;
    clock.start();
    long sent = 0;
    while (clock.elapsed() < nSeconds * 1000) {
        if (sender.SendEvents({{0x9000, 0xFFFF, 0, nowNs(), {}}}))
            ++sent;
        QThread::msleep(5);
    }
    const double floodRate = flooded / (clock.nsecsElapsed() / 1e9);
    QElapsedTimer wait;
    wait.start();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(latency.mutex);
            if (latency.nCount >= sent || wait.elapsed() > 2000)
                break;
        }
        QThread::msleep(1);
    }
    clock.restart();
    cam->RegisterEventCallback(nullptr, nullptr); // the flood goes on meanwhile
    const double stopMs = clock.nsecsElapsed() / 1e6;
    stop = true;
    for (std::thread& t : flood)
        t.join();
    std::lock_guard<std::mutex> lock(latency.mutex);
    std::fprintf(g_console,
                 "flood of malformed packets, %.0f/s from 2 threads: %ld of %ld valid events delivered (%s), the latest "
                 "%.1f ms after it was sent (target: at most 200 ms); stopping the events took %.1f ms (target: under "
                 "100 ms)\n",
                 floodRate, latency.nCount, sent, latency.nCount == sent ? "none lost" : "EVENTS LOST", latency.dMaxMs,
                 stopMs);
}

void benchLoss(FakeCamera& camera)
{
    CliSession session;
    CCamInterface* cam = openFake(session, "loss");
    if (!cam)
        return;
    cam->RegisterEventCallback([](EventRecord*, void*) {}, nullptr);
    camera.Kill();
    QElapsedTimer clock;
    clock.start();
    NXADeviceStatus status{};
    while (clock.elapsed() < 30000 && (NXAGetDeviceStatus(cam, &status) != 0 || status.nEventEndCode == 0))
        QThread::msleep(5);
    std::fprintf(g_console, "camera killed while its events are watched: loss known after %.2f s (target: at most 3 s)\n",
                 clock.nsecsElapsed() / 1e9);
    cam->RegisterEventCallback(nullptr, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Our runs never discover GigE Vision cameras beyond this machine.
    qputenv("DOVI_GIGE_INTERFACES", "lo");
    if (qEnvironmentVariableIsEmpty("KESTREL_COMMON_FILES_DIR"))
        qputenv("KESTREL_COMMON_FILES_DIR", SALTIRE_COMMON_FILES_DIR);
    QTemporaryDir home;
    qputenv("KESTREL_USER_DATA_DIR", home.filePath("user").toLocal8Bit());
    qputenv("KESTREL_CONFIG_DIR", home.filePath("config").toLocal8Bit());
    // Figures go to the terminal; stdout itself becomes the printer's file, and the worker's chatter is dropped.
    g_console = fdopen(dup(fileno(stdout)), "w");
    setvbuf(g_console, nullptr, _IOLBF, 0);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QGuiApplication app(argc, argv);
    const size_t nEvents = argc > 1 ? size_t(std::max(1, std::atoi(argv[1]))) : 200000;
    const QString producers = qEnvironmentVariable("KESTREL_COMMON_FILES_DIR") + "/Kestrel/Runtime/Linux64_x64";

    FakeCamera camera;
    if (!camera.Start(SALTIRE_GIGE_DATA "/camera_a_gev.xml", "BENCH01") || !camera.AdvertiseEvents()) {
        std::fprintf(stderr, "arv-fake-gv-camera-0.8 does not start on 127.0.0.1 (installed? port 3956 free?)\n");
        return 1;
    }
    benchEvents(nEvents, 33, false, 0);
    // As most cameras send them: one event per packet, each acknowledged, at the target rate and above it.
    for (const double dRate : {110000.0, 150000.0}) {
        if (!camera.Start(SALTIRE_GIGE_DATA "/camera_a_gev.xml", "BENCH01") || !camera.AdvertiseEvents())
            return 1;
        benchEvents(nEvents, 1, true, dRate);
    }

    if (!camera.Start(SALTIRE_GIGE_DATA "/camera_b_gev.xml", "BENCH01"))
        return 1;
    benchRead("GigE Vision fake camera, IO controller", "Fake", producers + "/DoVIGigE.cti");
    benchRead("simulated DV-IO8000 IO Controller", "DV-IO8000 IO Controller", producers + "/DoVISimulator.cti");
    if (!camera.Start(SALTIRE_GIGE_DATA "/camera_a_gev.xml", "BENCH01") || !camera.AdvertiseEvents())
        return 1;
    benchFlood(3);
    if (!camera.Start(SALTIRE_GIGE_DATA "/camera_a_gev.xml", "BENCH01") || !camera.AdvertiseEvents())
        return 1;
    benchLoss(camera);
    camera.Stop();
    return 0;
}
