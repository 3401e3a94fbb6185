// Drives an Event Monitor from a second thread, as the device-access library's event thread would, with
// "Auto Save" on, and prints what it kept up with: at full speed, then at 100,000 events per second with
// the statistics panel closed and open, and open with 64 kinds of events and with more kinds than the
// table keeps (256). Not a test.
//
//   bench_monitor [seconds]   (10 by default, for each of the three runs)

#include "custom.h"
#include "customcheckbox.h"
#include "custompushbutton.h"
#include "eventstatisticsmodel.h"
#include "eventstatisticspanel.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "nxeventlogwidget.h"
#include "ratechart.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QResource>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

long MemoryKb(const char* field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct Phase {
    const char* name;
    int rate; // events per second, 0 for as fast as possible
    bool statistics;
    int kinds; // kinds of events, sent in turn
};

void RunPhase(QApplication& app, CCamInterface* cam, const DeviceInfo& record, const Phase& phase, int seconds)
{
    QWidget parent;
    NXEventLogWidget* monitor = NXEventLogWidget::Instance(quint64(quintptr(cam)), true, &parent);
    monitor->SetDeviceInfo(record);
    monitor->findChild<CustomCheckBox*>("ChkAutoSave")->setChecked(true);
    monitor->findChild<CustomCheckBox*>("ChkEventType")->setChecked(true);
    monitor->show();
    if (phase.statistics)
        monitor->findChild<CustomPushButton*>("BtnStatistics")->click();
    const QString logPath = monitor->TableView()->logFileName();
    QFile::remove(logPath);
    monitor->TableView()->setLogFile(QString()); // reopened empty
    monitor->TableView()->setLogFile(logPath);

    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    long memoryAtCap = -1;
    QList<long> samples; // resident memory once a second
    std::vector<EventRecord> events(size_t(std::max(1, phase.kinds)));
    for (size_t k = 0; k < events.size(); ++k) {
        std::memset(&events[k], 0, sizeof events[k]);
        if (events.size() == 1)
            std::strcpy(events[k].szEventName, "ExposureStart_0");
        else
            std::snprintf(events[k].szEventName, sizeof events[k].szEventName, "Kind_%03zu", k);
        events[k].nEventId = quint16(0x9000 + k);
    }
    QElapsedTimer clock;
    clock.start();
    std::thread pump([&] {
        const auto start = std::chrono::steady_clock::now();
        quint64 ticks = 0;
        for (long n = 0; !stop; ++n) {
            // Paced in steps of a millisecond's worth of events.
            if (phase.rate && n % std::max(1, phase.rate / 1000) == 0)
                std::this_thread::sleep_until(start + std::chrono::microseconds(n * 1000000LL / phase.rate));
            EventRecord& r = events[size_t(n) % events.size()];
            r.nTimestampHigh = quint32(ticks >> 32);
            r.nTimestampLow = quint32(ticks & 0xffffffffu);
            monitor->OnEvent(&r);
            ++sent;
            ticks += 1000;
        }
    });
    QTimer probe;
    int ticks = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (memoryAtCap < 0 && sent > 2 * NXEventLogModel::kMaxRows)
            memoryAtCap = MemoryKb("VmRSS:");
        if (++ticks % 10 == 0)
            samples << MemoryKb("VmRSS:");
    });
    probe.start(100);
    QTimer::singleShot(seconds * 1000, [&] {
        stop = true;
        pump.join();
        monitor->findChild<CustomCheckBox*>("ChkEventType")->setChecked(false); // shows the rest at once
        app.quit();
    });
    app.exec();
    const double elapsed = clock.nsecsElapsed() / 1e9;

    NXEventLogModel* model = monitor->TableView()->logModel();
    const int rows = model->rowCount();
    // The rows shown are the newest events, one after the other: none lost.
    bool consecutive = rows > 0;
    double previous = -1;
    for (int r = 0; r < rows && consecutive; ++r) {
        const double t = model->index(r, 0).data().toString().toDouble();
        consecutive = previous < 0 || qAbs(t - previous - 1e-6) < 1e-9;
        previous = t;
    }
    const bool newestLast = qAbs(previous - (sent - 1) * 1e-6) < 1e-9;
    monitor->findChild<CustomCheckBox*>("ChkAutoSave")->setChecked(false);
    long lines = 0;
    QFile file(logPath);
    if (file.open(QIODevice::ReadOnly))
        while (!file.atEnd())
            lines += file.readLine().endsWith("\r\n");

    std::printf("events accepted          %10.0f per second (%ld in %.1f s; target: at least 100000/s)\n",
                sent / elapsed, long(sent), elapsed);
    std::printf("rows shown               %10d (cap %d, kept after a trim %d); consecutive and newest last: %s\n", rows,
                NXEventLogModel::kMaxRows, NXEventLogModel::kKeptRows, consecutive && newestLast ? "yes" : "NO");
    std::printf("lines in the log file    %10ld (%s)\n", lines, lines == sent ? "none lost" : "LINES LOST");
    if (phase.statistics) {
        // What the panel shows, its last refresh included: every kind's count, and those beyond the cap.
        const EventStatisticsSnapshot snapshot = monitor->StatisticsPanel()->Model()->snapshot();
        quint64 counted = snapshot.nUntracked;
        for (const EventStatRow& row : snapshot.rows)
            counted += row.nCount;
        std::printf("events in the statistics %10llu (%s), %d kinds in the table, %llu beyond it, chart lines %d\n",
                    (unsigned long long)counted, counted == quint64(sent) ? "none lost" : "EVENTS LOST",
                    int(snapshot.rows.size()), (unsigned long long)snapshot.nUntracked,
                    monitor->StatisticsPanel()->Chart() ? monitor->StatisticsPanel()->Chart()->lineCount() : -1);
    }
    std::printf("longest flush            %10.2f ms on the GUI thread%s (target: at most 16 ms)\n",
                monitor->TableView()->longestFlushNs() / 1e6, phase.statistics ? ", statistics included" : "");
    std::printf("memory                   %10ld kB once past the cap, %ld kB at the end, peak %ld kB\n", memoryAtCap,
                MemoryKb("VmRSS:"), MemoryKb("VmHWM:"));
    QStringList perSecond;
    for (long kb : qAsConst(samples))
        perSecond << QString::number(kb / 1024);
    std::printf("memory each second (MB)  %s\n", qPrintable(perSecond.join(QLatin1Char(' '))));
    std::fflush(stdout);
    delete monitor;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false");
    QTemporaryDir home;
    qputenv("KESTREL_USER_DATA_DIR", (home.path() + "/user").toLocal8Bit());
    qputenv("KESTREL_PROGRAM_DATA_DIR", (home.path() + "/programdata").toLocal8Bit());
    // Our runs never discover GigE Vision cameras beyond this machine.
    if (qEnvironmentVariableIsEmpty("DOVI_GIGE_INTERFACES"))
        qputenv("DOVI_GIGE_INTERFACES", "lo");
    if (qEnvironmentVariableIsEmpty("KESTREL_COMMON_FILES_DIR"))
        qputenv("KESTREL_COMMON_FILES_DIR", SALTIRE_COMMON_FILES_DIR);
    QApplication app(argc, argv);
    // The looks of the real tool: the table's style sheets come from the suite's resources.
    QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc"));
    QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc"));
    Custom::addXmlPath(QStringLiteral(":/Kestrel/QSS/CustomStyleSheet_ks.xml"));
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    // The simulated camera, opened as the worker would: the frequency is read from it for every event.
    CInterface* p = nullptr;
    NXACreateInstance(NXA_CAMERA_INTERFACE, &p);
    auto* cam = dynamic_cast<CCamInterface*>(p);
    DeviceInfoList list{};
    DeviceInfo record{};
    void* handle = nullptr;
    if (cam->EnumDevices(&list, "DoVISimulator.cti") != 0 || list.nCount == 0) {
        std::fprintf(stderr, "no simulated camera installed\n");
        return 1;
    }
    record = *list.pItems[0];
    if (cam->OpenDevice(&handle, &record, NXA_ACCESS_EXCLUSIVE) != 0)
        return 1;

    // 1: as fast as the event thread can go, panel closed; 2 and 3: 100,000 events per second, with the
    // statistics panel closed and then open with its chart shown.
    const Phase phases[] = {{"full speed, statistics closed", 0, false, 1},
                            {"100000/s, statistics closed", 100000, false, 1},
                            {"100000/s, statistics open", 100000, true, 1},
                            {"100000/s in all, 64 kinds of events, statistics open", 100000, true, 64},
                            {"100000/s in all, 300 kinds of events (the table keeps 256), statistics open", 100000, true, 300}};
    for (const Phase& phase : phases) {
        std::printf("--- %s\n", phase.name);
        RunPhase(app, cam, record, phase, seconds);
    }
    cam->CloseDevice(handle);
    NXAReleaseInstance(p);
    return 0;
}
