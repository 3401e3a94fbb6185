// Register traffic of the device jobs, counted at the producers' port calls (GCReadPort / GCWritePort):
// the read at connect (also what show, export and monitor do) and the apply (also set and import), per
// device, beside the floor: one selector write per category, IO line, channel and event, plus one
// notification read (read) or write (apply) per event. Times at 0 and at 200 microseconds per port call
// (the simulated camera's PortLatency), and the same jobs on Aravis's fake GigE Vision camera when it is
// installed and port 3956 is free.
//
//   bench_connect

#include "channelitem.h"
#include "clisession.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "gentl.h"
#include "fakecamera.h"
#include "gvcpeventsender.h"
#include "iotypeitem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Counts {
    uint64_t nReads = 0, nWrites = 0;
};

Counts producerCounts(const QString& file)
{
    QLibrary library(QFileInfo(file).canonicalFilePath()); // the instance the device-access library loaded
    auto info = reinterpret_cast<PGCGetInfo>(library.resolve("GCGetInfo"));
    Counts c;
    if (!info)
        return c;
    size_t size = sizeof c.nReads;
    INFO_DATATYPE type = INFO_DATATYPE_UNKNOWN;
    info(TL_INFO_DOVI_PORT_READS, &type, &c.nReads, &size);
    size = sizeof c.nWrites;
    info(TL_INFO_DOVI_PORT_WRITES, &type, &c.nWrites, &size);
    return c;
}

// Selector writes and notification accesses the worker's visit of the model needs at the least. Events
// described the standard way have EventSelector alone: no category or channel to select.
void floorOf(const QList<Saltire::EventTypeItem*>& model, bool bStandard, int& nSelectors, int& nEvents)
{
    nSelectors = nEvents = 0;
    auto channels = [&](const QList<Saltire::ChannelItem*>& list) {
        for (const Saltire::ChannelItem* ch : list) {
            nSelectors += bStandard ? 0 : 1;
            nSelectors += ch->listEvent.size();
            nEvents += ch->listEvent.size();
        }
    };
    for (const Saltire::EventTypeItem* type : model) {
        nSelectors += bStandard ? 0 : 1;
        channels(type->listChannel);
        for (const Saltire::IOTypeItem* io : type->listIOType) {
            ++nSelectors;
            channels(io->listChannel);
        }
    }
}

struct JobFigures {
    Counts counts;
    double dMs = 0;
    int nFloor = 0;
    bool bOk = false;
};

// One read job, then one apply job, on a fresh session (the window and the command line do the same).
void runJobs(const QString& which, const QString& producer, bool bStandard, JobFigures& read, JobFigures& apply)
{
    CliSession session;
    const int index = session.FindDevice(which);
    if (index < 0)
        return;
    Counts before = producerCounts(producer);
    QElapsedTimer clock;
    clock.start();
    read.bOk = session.Read(index);
    read.dMs = clock.nsecsElapsed() / 1e6;
    Counts after = producerCounts(producer);
    read.counts = {after.nReads - before.nReads, after.nWrites - before.nWrites};
    if (!read.bOk)
        return;
    int nSelectors = 0, nEvents = 0;
    floorOf(session.Model(index), bStandard, nSelectors, nEvents);
    read.nFloor = nSelectors + nEvents;
    apply.nFloor = nSelectors + nEvents;
    before = producerCounts(producer);
    clock.restart();
    apply.bOk = session.Write(index);
    apply.dMs = clock.nsecsElapsed() / 1e6;
    after = producerCounts(producer);
    apply.counts = {after.nReads - before.nReads, after.nWrites - before.nWrites};
}

void printRow(const QString& device, const char* job, const JobFigures& f, double dMs200)
{
    if (!f.bOk) {
        std::printf("%-40s %-6s failed\n", qPrintable(device), job);
        return;
    }
    const uint64_t calls = f.counts.nReads + f.counts.nWrites;
    std::printf("%-40s %-6s %8llu %7llu %6d %6.2fx %9.1f ms", qPrintable(device), job,
                (unsigned long long)f.counts.nReads, (unsigned long long)f.counts.nWrites, f.nFloor,
                f.nFloor ? double(calls) / f.nFloor : 0.0, f.dMs);
    if (dMs200 >= 0)
        std::printf(" %9.1f ms", dMs200);
    std::printf("\n");
}

bool setLatency(const QString& ini, int nMicroseconds)
{
    QFile file(ini);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = file.readAll();
    file.close();
    const int at = text.indexOf("\nPortLatency=");
    if (at >= 0)
        text.remove(at, text.indexOf('\n', at + 1) - at);
    text.replace("[Device]\n", "[Device]\nPortLatency=" + QByteArray::number(nMicroseconds) + "\n");
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

bool copyDevice(const QString& from, const QString& key, const QString& to)
{
    for (const QString& f : QDir(from).entryList({key + "*"}, QDir::Files))
        if (!QFile::copy(from + "/" + f, to + "/" + f))
            return false;
    return true;
}


} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DOVI_GIGE_INTERFACES", "lo"); // our runs never discover cameras beyond this machine
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QTemporaryDir dir;
    const QString producers = dir.filePath("common/Kestrel/Runtime/Linux64_x64");
    const QString devices = dir.filePath("devices");
    QDir().mkpath(producers);
    QDir().mkpath(devices);
    QFile::copy(SALTIRE_DOVISIM_CTI, producers + "/DoVISimulator.cti");
    QFile::copy(SALTIRE_DOVIGIGE_CTI, producers + "/DoVIGigE.cti");
    const QString shipped = SALTIRE_DOVISIM_DEVICES;
    if (!copyDevice(shipped, "camera_a.", devices) || !copyDevice(shipped, "camera_a_zh", devices)
        || !copyDevice(shipped, "camera_b", devices)
        || !copyDevice(shipped, "standard_d", devices) || !copyDevice(SALTIRE_BENCH_DATA, "large_camera", devices)) {
        std::fprintf(stderr, "cannot set up the simulated devices\n");
        return 1;
    }
    qputenv("KESTREL_COMMON_FILES_DIR", dir.filePath("common").toLocal8Bit());
    qputenv("DOVI_SIM_DEVICES", devices.toLocal8Bit());
    qputenv("KESTREL_USER_DATA_DIR", dir.filePath("user").toLocal8Bit());
    qputenv("KESTREL_CONFIG_DIR", dir.filePath("config").toLocal8Bit());
    QGuiApplication app(argc, argv);

    std::printf("%-40s %-6s %8s %7s %6s %7s %12s %12s\n", "device", "job", "reads", "writes", "floor", "ratio",
                "at 0 us", "at 200 us");
    const struct {
        const char* label;
        const char* which;
        const char* ini;
        bool bStandard;
    } simulated[] = {
        {"DV-EC2040 \"Station 3 Top\" (28 events)", "Station 3 Top (SA2040001)", "camera_a.ini", false},
        {"DV-IO8000 IO Controller (160 events)", "DV-IO8000 IO Controller", "camera_b.ini", false},
        {"DV-X9000, every register NoCache", "DV-X9000", "large_camera.ini", false},
        {"DV-AC3000, standard events", "Station 5 Side (SD3000005)", "standard_d.ini", true},
    };
    const QString sim = producers + "/DoVISimulator.cti";
    for (const auto& d : simulated) {
        JobFigures read0, apply0, read200, apply200;
        setLatency(devices + "/" + d.ini, 0);
        runJobs(d.which, sim, d.bStandard, read0, apply0);
        setLatency(devices + "/" + d.ini, 200);
        runJobs(d.which, sim, d.bStandard, read200, apply200);
        printRow(d.label, "read", read0, read200.bOk ? read200.dMs : -1);
        printRow(d.label, "apply", apply0, apply200.bOk ? apply200.dMs : -1);
    }

    FakeCamera camera;
    const struct {
        const char* label;
        const char* xml;
        const char* serial;
        bool bStandard;
    } gige[] = {
        {"GigE Vision fake camera, IO controller", SALTIRE_GIGE_DATA "/camera_b_gev.xml", "BENCH02", false},
        {"GigE Vision fake camera, standard events", SALTIRE_GIGE_DATA "/standard_gev.xml", "BENCH03", true},
    };
    for (const auto& g : gige) {
        if (!camera.Start(g.xml, g.serial)) {
            std::printf("(the GigE Vision rows need arv-fake-gv-camera-0.8 and a free port 3956)\n");
            return 0;
        }
        JobFigures read, apply;
        runJobs("Fake", producers + "/DoVIGigE.cti", g.bStandard, read, apply);
        printRow(g.label, "read", read, -1);
        printRow(g.label, "apply", apply, -1);
        camera.Stop();
    }
    return 0;
}
