// Prints what building the event tree costs: the description parser on a 3 MiB description beside
// QDomDocument::setContent alone, and full device reads by the worker beside the same feature
// operations made directly on the device-access library. Not a test.
//
//   bench_features
// Uses the simulated camera of this build ($KESTREL_COMMON_FILES_DIR overrides where it is installed).

#include "descriptionparser.h"
#include "nxainterface.h"
#include "rweventfeaturethread.h"

#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

bool FindRecord(const QByteArray& id, DeviceInfo& out)
{
    CInterface* p = nullptr;
    if (NXACreateInstance(NXA_CAMERA_INTERFACE, &p) != 0)
        return false;
    auto* cam = dynamic_cast<CCamInterface*>(p);
    DeviceInfoList list{};
    bool bFound = false;
    if (cam->EnumDevices(&list, "DoVISimulator.cti") == 0)
        for (quint32 i = 0; i < list.nCount && !bFound; ++i)
            if (id == reinterpret_cast<const char*>(list.pItems[i]->szKey)) {
                out = *list.pItems[i];
                bFound = true;
            }
    NXAReleaseInstance(p);
    return bFound;
}

// The worker's feature operations, made directly: the cost floor of a read.
struct RawWalk {
    CCamInterface* cam = nullptr;
    long nOps = 0;

    bool get(const char* name, EnumValue& v)
    {
        ++nOps;
        return cam->GetEnumValue(name, &v, true) == 0;
    }
    bool set(const char* name, quint32 v)
    {
        ++nOps;
        return cam->SetEnumValue(name, v) == 0;
    }
    void channels()
    {
        EnumValue chs{};
        if (!get("ChannelSelector", chs))
            return;
        for (quint32 i = 0; i < chs.nCount; ++i) {
            EnumValue evs{};
            if (!set("ChannelSelector", chs.nSupportValue[i]) || !get("EventSelector", evs))
                continue;
            for (quint32 j = 0; j < evs.nCount; ++j) {
                EnumValue n{};
                if (set("EventSelector", evs.nSupportValue[j]))
                    get("EventNotification", n);
            }
        }
    }
    void run(bool bHasIO)
    {
        EnumValue cats{};
        if (!get("EventCategory", cats))
            return;
        for (quint32 i = 0; i < cats.nCount; ++i) {
            if (!set("EventCategory", cats.nSupportValue[i]))
                continue;
            EnumValue ios{};
            if (!bHasIO || i != 0 || !get("EventIOType", ios)) {
                channels();
                continue;
            }
            for (quint32 j = 0; j < ios.nCount; ++j)
                if (set("EventIOType", ios.nSupportValue[j]))
                    channels();
        }
    }
};

void BenchParser(const QString& devices)
{
    // camera_b's description padded with register nodes to 3 MiB, served by the simulator.
    QByteArray xml = ReadAll(devices + "/camera_b.xml");
    QByteArray padding = "  <Group Comment=\"Padding\">\n";
    for (int i = 0; xml.size() + padding.size() < 0x300000 + 0x1000; ++i)
        padding += "    <IntReg Name=\"Pad" + QByteArray::number(i) + "\">\n      <ToolTip>Padding register "
                   + QByteArray::number(i) + " for the parser benchmark</ToolTip>\n      <Address>0x"
                   + QByteArray::number(0x20000 + 4 * (i % 4096), 16)
                   + "</Address>\n      <Length>4</Length>\n      <AccessMode>RO</AccessMode>\n"
                     "      <pPort>Device</pPort>\n      <Sign>Unsigned</Sign>\n"
                     "      <Endianess>LittleEndian</Endianess>\n    </IntReg>\n";
    padding += "  </Group>\n";
    xml.insert(xml.indexOf("  <Group Comment=\"EventControl\">"), padding);
    QByteArray ini = ReadAll(devices + "/camera_b.ini");
    ini.replace("Description=camera_b.xml", "Description=padded.xml");
    ini.replace("Id=DoVI-SIM-B-8000", "Id=DoVI-SIM-P-3000");
    if (!WriteAll(devices + "/padded.xml", xml) || !WriteAll(devices + "/padded.ini", ini))
        return;

    DeviceInfo record{};
    CInterface* p = nullptr;
    void* handle = nullptr;
    if (!FindRecord("DoVI-SIM-P-3000", record) || NXACreateInstance(NXA_CAMERA_INTERFACE, &p) != 0)
        return;
    auto* cam = dynamic_cast<CCamInterface*>(p);
    if (cam->OpenDevice(&handle, &record, NXA_ACCESS_EXCLUSIVE) != 0) {
        std::printf("the padded description could not be opened\n");
        NXAReleaseInstance(p);
        return;
    }
    // Best of several rounds, the two measurements alternating, so that neither profits from a warm cache.
    const int rounds = 8;
    qint64 fetch = LLONG_MAX, parse = LLONG_MAX, dom = LLONG_MAX;
    QByteArray description, translation;
    int entries = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        Saltire::FetchDescriptionTexts(cam, description, translation);
        fetch = qMin(fetch, t.nsecsElapsed());
        auto measureDom = [&] {
            QElapsedTimer d;
            d.start();
            {
                QDomDocument doc; // freed inside the measurement, as the parser frees its own
                doc.setContent(QString::fromUtf8(description), false);
                QDomDocument trDoc;
                trDoc.setContent(QString::fromUtf8(translation), false);
            }
            dom = qMin(dom, d.nsecsElapsed());
        };
        Saltire::FeatureDescMap map;
        auto measureParse = [&] {
            map.clear();
            QElapsedTimer d;
            d.start();
            Saltire::ParseFeatureDescriptions(description, translation, map);
            parse = qMin(parse, d.nsecsElapsed());
        };
        if (r % 2) {
            measureDom();
            measureParse();
        } else {
            measureParse();
            measureDom();
        }
        entries = map.value("EventSelector").listEntry.size();
    }
    std::printf("description of %.2f MiB (%d event entries), best of %d rounds:\n", description.size() / 1048576.0,
                entries, rounds);
    std::printf("  fetch (3 MiB buffer, then the reported length)  %8.2f ms\n", fetch / 1e6);
    std::printf("  parse and walk, with the translation            %8.2f ms\n", parse / 1e6);
    std::printf("  QDomDocument::setContent alone, both texts      %8.2f ms\n", dom / 1e6);
    std::printf("  the walk adds %.1f%% (target: at most 10%%)\n\n", 100.0 * (parse - dom) / double(dom));
    cam->CloseDevice(handle);
    NXAReleaseInstance(p);
}

void BenchRead(const QByteArray& id, bool bHasIO)
{
    DeviceInfo record{};
    if (!FindRecord(id, record)) {
        std::printf("%s is not installed\n", id.constData());
        return;
    }
    record.nDeviceNumber = 1;

    // Raw: open, fetch the texts and make the same feature operations.
    CInterface* p = nullptr;
    void* handle = nullptr;
    NXACreateInstance(NXA_CAMERA_INTERFACE, &p);
    auto* cam = dynamic_cast<CCamInterface*>(p);
    QElapsedTimer t;
    t.start();
    RawWalk raw;
    raw.cam = cam;
    if (cam->OpenDevice(&handle, &record, NXA_ACCESS_EXCLUSIVE) == 0) {
        QByteArray d, tr;
        Saltire::FetchDescriptionTexts(cam, d, tr);
        raw.run(bHasIO);
        cam->CloseDevice(handle);
    }
    const double rawMs = t.nsecsElapsed() / 1e6;
    NXAReleaseInstance(p);

    // The worker's read, to the end of its signal.
    RWEventFeatureThread worker(nullptr);
    QEventLoop loop;
    QObject::connect(&worker, &RWEventFeatureThread::SigFinishRW, &loop, &QEventLoop::quit);
    t.restart();
    worker.StartRW(&record, true);
    loop.exec();
    const double readMs = t.nsecsElapsed() / 1e6;
    std::printf("%-16s worker read %9.1f ms   direct operations %9.1f ms   %6ld feature operations   %5.2fx"
                " (target: at most 1.5x)\n",
                id.constData(), readMs, rawMs, raw.nOps, readMs / rawMs);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QGuiApplication app(argc, argv);
    // Our runs never discover GigE Vision cameras beyond this machine.
    if (qEnvironmentVariableIsEmpty("DOVI_GIGE_INTERFACES"))
        qputenv("DOVI_GIGE_INTERFACES", "lo");
    if (qEnvironmentVariableIsEmpty("KESTREL_COMMON_FILES_DIR"))
        qputenv("KESTREL_COMMON_FILES_DIR", SALTIRE_COMMON_FILES_DIR);
    const QString installed = qEnvironmentVariable("KESTREL_COMMON_FILES_DIR")
                              + "/Kestrel/Runtime/Linux64_x64/DoVISimulator.d";
    QTemporaryDir devices;
    for (const QString& f : QDir(installed).entryList({"camera_b*"}, QDir::Files))
        QFile::copy(installed + "/" + f, devices.filePath(f));
    for (const QString& f : QDir(SALTIRE_BENCH_DATA).entryList({"large_camera*"}, QDir::Files))
        QFile::copy(QString(SALTIRE_BENCH_DATA) + "/" + f, devices.filePath(f));
    qputenv("DOVI_SIM_DEVICES", devices.path().toLocal8Bit());

    BenchParser(devices.path());
    QFile::remove(devices.filePath("padded.ini"));
    BenchRead("DoVI-SIM-B-8000", true);
    BenchRead("DoVI-SIM-X-9000", true);
    return 0;
}
