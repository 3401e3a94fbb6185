// Prints what device access costs on the simulated cameras, beside the same feature operations on the
// GenICam engine over plain memory (the floor any port-backed device can reach). Not a test.
//
//   bench_deviceaccess [rounds]
// Uses the producers in $KESTREL_COMMON_FILES_DIR, else the ones this build installed.

#include "genapinodemap.h"
#include "nxainterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

double microsPerOp(int rounds, const std::function<bool()>& op)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        if (!op()) {
            std::fprintf(stderr, "operation failed in round %d\n", i);
            return -1;
        }
    return double(timer.nsecsElapsed()) / 1000.0 / rounds;
}

void row(const char* what, double device, double memory)
{
    std::printf("%-44s %10.2f us %10.2f us %8.2fx\n", what, device, memory, memory > 0 ? device / memory : 0.0);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    // Our runs never discover GigE Vision cameras beyond this machine.
    if (qEnvironmentVariableIsEmpty("DOVI_GIGE_INTERFACES"))
        qputenv("DOVI_GIGE_INTERFACES", "lo");
    if (qEnvironmentVariableIsEmpty("KESTREL_COMMON_FILES_DIR"))
        qputenv("KESTREL_COMMON_FILES_DIR", SALTIRE_COMMON_FILES_DIR);
    const QString producers = qEnvironmentVariable("KESTREL_COMMON_FILES_DIR") + "/Kestrel/Runtime/Linux64_x64";
    if (qEnvironmentVariableIsEmpty("DOVI_SIM_DEVICES"))
        qputenv("DOVI_SIM_DEVICES", (producers + "/DoVISimulator.d").toLocal8Bit());

    // Enumeration of every producer, as the main window does at start (the first run loads the libraries).
    const QStringList files = QDir(producers).entryList({"DoVI*.cti"}, QDir::Files);
    QElapsedTimer timer;
    int devices = 0;
    CInterface* p = nullptr;
    if (NXACreateInstance(NXA_CAMERA_INTERFACE, &p) != 0)
        return 1;
    auto* cam = dynamic_cast<CCamInterface*>(p);
    DeviceInfo cameraB{};
    bool found = false;
    for (int pass = 0; pass < 2; ++pass) {
        timer.restart();
        devices = 0;
        for (const QString& f : files) {
            DeviceInfoList list{};
            if (cam->EnumDevices(&list, f.toLocal8Bit().constData()) != 0)
                continue;
            devices += int(list.nCount);
            for (quint32 i = 0; i < list.nCount; ++i)
                if (!found && std::strcmp(reinterpret_cast<const char*>(list.pItems[i]->szKey), "DoVI-SIM-B-8000") == 0) {
                    cameraB = *list.pItems[i];
                    found = true;
                }
        }
        std::printf("enumeration of %d producer(s), %d device(s), %s: %.2f ms\n", int(files.size()), devices,
                    pass == 0 ? "first (loads the producers)" : "again", timer.nsecsElapsed() / 1e6);
    }
    if (!found) {
        std::fprintf(stderr, "the simulated camera DoVI-SIM-B-8000 is not installed in %s\n", qPrintable(producers));
        return 1;
    }
    void* handle = nullptr;
    timer.restart();
    if (cam->OpenDevice(&handle, &cameraB, NXA_ACCESS_EXCLUSIVE) != 0)
        return 1;
    std::printf("open DoVI-SIM-B-8000 (description, node map): %.2f ms\n\n", timer.nsecsElapsed() / 1e6);

    // The same description over plain memory.
    QFile xmlFile(qEnvironmentVariable("DOVI_SIM_DEVICES") + "/camera_b.xml");
    if (!xmlFile.open(QIODevice::ReadOnly))
        return 1;
    std::vector<uint8_t> memory(0x100000, 0);
    const uint64_t tick = 125000000;
    std::memcpy(&memory[0x1010], &tick, 8);
    GenApiNodeMap plain(
        [&](uint64_t a, void* b, size_t n) -> int32_t {
            if (a + n > memory.size())
                return -1015;
            std::memcpy(b, &memory[a], n);
            return 0;
        },
        [&](uint64_t a, const void* b, size_t n) -> int32_t {
            if (a + n > memory.size())
                return -1015;
            std::memcpy(&memory[a], b, n);
            return 0;
        });
    if (!plain.load(xmlFile.readAll().toStdString()))
        return 1;

    // Selectors at IO line D485, channel 0: 42 events with availability to evaluate.
    if (cam->SetEnumValue("EventCategory", 0) != 0 || cam->SetEnumValue("EventIOType", 2) != 0
        || cam->SetEnumValue("ChannelSelector", 0) != 0)
        return 1;
    plain.setEnum("EventCategory", 0);
    plain.setEnum("EventIOType", 2);
    plain.setEnum("ChannelSelector", 0);

    std::printf("%-44s %13s %13s %9s\n", "operation (mean of rounds)", "simulated", "plain memory", "ratio");
    EnumValue ev{};
    IntValue iv{};
    int64_t cur = 0, val = 0;
    std::vector<int64_t> values;
    uint32_t n = 0;
    row("GetEnumValue EventSelector (42 available)",
        microsPerOp(rounds, [&] { return cam->GetEnumValue("EventSelector", &ev, true) == 0 && ev.nCount == 42; }),
        microsPerOp(rounds, [&] { return plain.getEnum("EventSelector", true, cur, values) == 0; }));
    const uint32_t first = ev.nSupportValue[0];
    row("SetEnumValue EventSelector",
        microsPerOp(rounds, [&] { return cam->SetEnumValue("EventSelector", first + (n++ % 42)) == 0; }),
        microsPerOp(rounds, [&] { return plain.setEnum("EventSelector", first + (n++ % 42)) == 0; }));
    row("GetEnumValue EventNotification",
        microsPerOp(rounds, [&] { return cam->GetEnumValue("EventNotification", &ev, true) == 0; }),
        microsPerOp(rounds, [&] { return plain.getEnum("EventNotification", true, cur, values) == 0; }));
    row("SetEnumValue EventNotification",
        microsPerOp(rounds, [&] { return cam->SetEnumValue("EventNotification", n++ % 2) == 0; }),
        microsPerOp(rounds, [&] { return plain.setEnum("EventNotification", n++ % 2) == 0; }));
    row("GetIntValue DeviceTimestampTickFrequency",
        microsPerOp(rounds, [&] { return cam->GetIntValue("DeviceTimestampTickFrequency", &iv, true) == 1; }),
        microsPerOp(rounds, [&] { return plain.getInt("DeviceTimestampTickFrequency", true, val) == 0; }));
    std::printf("\ntarget: every ratio within 2x\n");

    cam->CloseDevice(handle);
    NXAReleaseInstance(p);
    return 0;
}
