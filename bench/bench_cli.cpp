// Prints how fast "saltire-cli monitor" writes events to a file: its printer fed from a second thread at
// full speed, stdout redirected to a file, the tick frequency read through the library for every event.
//
//   bench_cli [seconds] [text|csv|jsonl]   (5 seconds, text by default)

#include "eventprinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include <unistd.h>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Our runs never discover GigE Vision cameras beyond this machine.
    if (qEnvironmentVariableIsEmpty("DOVI_GIGE_INTERFACES"))
        qputenv("DOVI_GIGE_INTERFACES", "lo");
    if (qEnvironmentVariableIsEmpty("KESTREL_COMMON_FILES_DIR"))
        qputenv("KESTREL_COMMON_FILES_DIR", SALTIRE_COMMON_FILES_DIR);
    QGuiApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString format = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("text");

    CInterface* p = nullptr;
    NXACreateInstance(NXA_CAMERA_INTERFACE, &p);
    auto* cam = dynamic_cast<CCamInterface*>(p);
    DeviceInfoList list{};
    void* handle = nullptr;
    if (cam->EnumDevices(&list, "DoVISimulator.cti") != 0 || list.nCount == 0)
        return 1;
    const DeviceInfo record = *list.pItems[0];
    if (cam->OpenDevice(&handle, &record, NXA_ACCESS_EXCLUSIVE) != 0)
        return 1;

    QTemporaryDir dir;
    const QString path = dir.filePath("events.txt");
    std::FILE* console = fdopen(dup(fileno(stdout)), "w");
    if (!std::freopen(path.toLocal8Bit().constData(), "w", stdout))
        return 1;
    EventPrinter printer(cam, format);
    EventRecord event;
    std::memset(&event, 0, sizeof event);
    std::strcpy(event.szEventName, "ExposureStart_0");
    event.nEventId = 0x9000;
    std::atomic<bool> stop{false};
    QElapsedTimer clock;
    clock.start();
    std::thread pump([&] {
        EventRecord r = event;
        for (quint64 ticks = 0; !stop; ticks += 1000) {
            r.nTimestampHigh = quint32(ticks >> 32);
            r.nTimestampLow = quint32(ticks & 0xffffffffu);
            printer.OnEvent(&r);
        }
    });
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    stop = true;
    pump.join();
    std::fflush(stdout);
    const double elapsed = clock.nsecsElapsed() / 1e9;
    QFile file(path);
    long lines = 0;
    if (file.open(QIODevice::ReadOnly))
        lines = file.readAll().count('\n') - (format == QLatin1String("csv") ? 1 : 0);
    std::fprintf(console, "monitor to a file (%s): %.0f events per second (%ld in %.1f s; target: at least 100000/s); "
                          "%ld lines in the file (%s)\n",
                 qPrintable(format), printer.Count() / elapsed, printer.Count(), elapsed, lines,
                 lines == printer.Count() ? "none lost" : "LINES LOST");
    std::fclose(console);
    cam->CloseDevice(handle);
    NXAReleaseInstance(p);
    return 0;
}
