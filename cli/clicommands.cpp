#include "clicommands.h"

#include "channelitem.h"
#include "clisession.h"
#include "eventprinter.h"
#include "devicediscovery.h"
#include "deviceproblems.h"
#include "deviceeventsink.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventrecordtext.h"
#include "eventtypeitem.h"
#include "gentl.h"
#include "iotypeitem.h"
#include "notificationreadfailures.h"
#include "messagerows.h"
#include "userlevelfilter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>

using namespace Saltire;

namespace Cli {

namespace {

void Out(const QString& strText)
{
    const QByteArray bytes = strText.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int Fail(int nCode, const QString& strMessage)
{
    std::fflush(stdout);
    std::fprintf(stderr, "saltire-cli: %s\n", qPrintable(strMessage));
    return nCode;
}

// The log's warnings (the device-access layer's and the worker's own words for what the command then says
// once in its message) are printed only when asked for.
bool g_bVerbose = false;

void OnLogMessage(QtMsgType type, const QMessageLogContext&, const QString& strText)
{
    if (type == QtFatalMsg || (g_bVerbose && type != QtDebugMsg && type != QtInfoMsg)) {
        std::fflush(stdout);
        std::fprintf(stderr, "log: %s\n", qUtf8Printable(strText));
    }
}

// A parser with --help, --verbose and the options every device command takes.
struct Parser {
    QCommandLineParser p;
    QCommandLineOption verbose{"verbose", "Also print the log's warnings as they come."};
    QCommandLineOption device{"device", "The device: its number, label, key or serial number, as devices lists "
                                        "them (default: the first).", "N|LABEL|KEY|SERIAL"};
    QCommandLineOption level{"level", "User level: recommended or guru (default: guru).", "LEVEL", "guru"};
    QCommandLineOption json{"json", "Print JSON."};
    Parser(const QString& strDescription)
    {
        p.setApplicationDescription(strDescription);
        p.addHelpOption();
        p.addOption(verbose);
    }
    // False with the exit code set when the arguments are not usable or --help was asked for.
    bool parse(const QString& strCommand, const QStringList& args, int& nExit)
    {
        if (!p.parse(QStringList{"saltire-cli " + strCommand} + args)) {
            nExit = Fail(Usage, p.errorText());
            return false;
        }
        if (p.isSet("help")) {
            // The usage line names the program as started; show the command too.
            Out(p.helpText().replace(QCoreApplication::arguments().constFirst(), "saltire-cli " + strCommand));
            nExit = Ok;
            return false;
        }
        g_bVerbose = p.isSet(verbose);
        // A misspelt level must not pass for Guru: that would show (and switch) events the user did not mean.
        if (p.optionNames().contains(level.names().constFirst())) {
            const QString strLevel = p.value(level);
            if (strLevel.compare("recommended", Qt::CaseInsensitive) != 0 && strLevel.compare("guru", Qt::CaseInsensitive) != 0) {
                nExit = Fail(Usage, "unknown level \"" + strLevel + "\": recommended or guru");
                return false;
            }
        }
        return true;
    }
    int levelValue() const
    {
        return p.value(level).compare("recommended", Qt::CaseInsensitive) == 0 ? 0 : 1;
    }
};

// A device that stopped answering during a job leaves a partial model behind: say so, never pass it on.
int CheckLink(CliSession& session, int nIndex, const char* szJob)
{
    NXADeviceStatus status{};
    if (NXAGetDeviceStatus(session.Interface(nIndex), &status) != 0 || status.nPortError == 0)
        return Ok;
    return Fail(DeviceLost, QStringLiteral("%1 stopped answering while it was %2 (error 0x%3): is it still powered "
                                           "and connected?")
                                .arg(CliSession::Label(session.Devices().at(nIndex)), QLatin1String(szJob))
                                .arg(quint32(status.nPortError), 8, 16, QLatin1Char('0')));
}

// Where the producers were looked for, for a run that found no device.
QString NoDeviceText()
{
    const QString strPath = qEnvironmentVariable("GENICAM_GENTL64_PATH");
    return QStringLiteral("no device found through the producers of %1 (DoVI*.cti)%2; saltire-cli producers lists them")
        .arg(DeviceDiscovery::ProducerFolder(),
             strPath.isEmpty() ? QStringLiteral(" (GENICAM_GENTL64_PATH is not set)")
                               : QStringLiteral(" and of GENICAM_GENTL64_PATH (%1)").arg(strPath));
}

// What went wrong with a producer, in words where the code is one we know.
QString ProducerErrorText(int nResult)
{
    QString strWhy;
    switch (nResult) {
    case GC_ERR_TIMEOUT: strWhy = QStringLiteral("it did not answer in time (skipped)"); break;
    case GC_ERR_BUSY: strWhy = QStringLiteral("it did not answer before (skipped)"); break;
    case GC_ERR_INVALID_BUFFER: strWhy = QStringLiteral("it answers with sizes no text has (not used)"); break;
    case GC_ERR_NOT_IMPLEMENTED: strWhy = QStringLiteral("not a GenTL producer"); break;
    case GC_ERR_NOT_AVAILABLE: strWhy = QStringLiteral("the file cannot be loaded"); break;
    default: strWhy = QStringLiteral("it failed (not used)"); break;
    }
    return QStringLiteral("error 0x%1: %2").arg(quint32(nResult), 8, 16, QLatin1Char('0')).arg(strWhy);
}

// Applying (or exporting) over a read that missed some states would switch those events off on the device
// (or write them as off).
int CheckReadComplete(CliSession& session, int nIndex, bool bForce, bool bExport = false)
{
    const QStringList failed = NotificationReadFailures::List(int(session.Devices().at(nIndex).nDeviceNumber));
    if (failed.isEmpty())
        return Ok;
    if (bForce) {
        std::fprintf(stderr, "warning: %d event states could not be read and are written as off (--force)\n",
                     int(failed.size()));
        return Ok;
    }
    return Fail(ReadIncomplete, QStringLiteral("%1 event states could not be read from the device (%2); %3")
                                    .arg(failed.size())
                                    .arg(failed.mid(0, 5).join(QStringLiteral(", "))
                                             + (failed.size() > 5 ? QStringLiteral(", ...") : QString()),
                                         bExport ? QStringLiteral("the file would say they are off. Nothing was written; "
                                                                  "--force exports anyway.")
                                                 : QStringLiteral("applying would switch them off. Nothing was written; "
                                                                  "--force applies anyway.")));
}

// Finds and reads the device a command is about.
int OpenDevice(CliSession& session, const QString& strWhich, int& nIndex)
{
    if (session.Devices().isEmpty())
        return Fail(NoDevice, NoDeviceText());
    nIndex = session.FindDevice(strWhich);
    if (nIndex == CliSession::Ambiguous)
        return Fail(NoDevice, "more than one device has the serial number " + strWhich + ": give its key or label");
    if (nIndex < 0)
        return Fail(NoDevice, "no device " + strWhich + " (saltire-cli devices lists them)");
    const DeviceInfo& d = session.Devices().at(nIndex);
    if (!session.Read(nIndex)) {
        const DeviceProblems::Problem problem = DeviceProblems::Get(int(d.nDeviceNumber));
        return Fail(DeviceFailed, CliSession::Label(d) + ": "
                                      + (problem.kind != DeviceProblems::None
                                             ? DeviceProblems::Text(problem)
                                             : QStringLiteral("The device could not be opened.")));
    }
    return CheckLink(session, nIndex, "read");
}

const char* StateText(int nState)
{
    return nState == 2 ? "on" : nState == 1 ? "partial" : "off";
}

QJsonObject ItemJson(const RWItem* pItem, const QString& strDisplay)
{
    return QJsonObject{{"name", pItem->strName}, {"value", double(pItem->nValue)}, {"displayName", strDisplay},
                       {"state", pItem->nState}, {"level", pItem->nLevel == 1 ? "guru" : "recommended"},
                       {"shown", pItem->bShow}};
}

QString ItemText(const char* szKind, const RWItem* pItem, const QString& strDisplay)
{
    return QStringLiteral("%1 %2 [%3:%4] state=%5%6%7").arg(QLatin1String(szKind), strDisplay, pItem->strName)
        .arg(pItem->nValue).arg(QLatin1String(StateText(pItem->nState)))
        .arg(pItem->nLevel == 1 ? QStringLiteral(" guru") : QString())
        .arg(pItem->bShow ? QString() : QStringLiteral(" hidden"));
}

// unreadable: events whose state could not be read at the last read (shown as off by the model).
void PrintChannels(const QList<ChannelItem*>& channels, const QString& strIndent, QJsonArray* pJson,
                   const QStringList& unreadable)
{
    for (const ChannelItem* pChannel : channels) {
        QJsonArray events;
        if (!pJson)
            Out(strIndent + ItemText("Channel", pChannel, pChannel->strDisplayName) + "\n");
        for (const EventItem* pEvent : pChannel->listEvent) {
            const bool bUnreadable = unreadable.contains(pEvent->strName);
            if (pJson) {
                QJsonObject e = ItemJson(pEvent, pEvent->strDisplayNameEn);
                e.insert("displayNameCn", pEvent->strDisplayNameCn);
                e.insert("device", bUnreadable ? QJsonValue() : QJsonValue(pEvent->bDeviceState)); // null: unknown
                events.append(e);
            } else {
                Out(strIndent + "  " + ItemText("Event", pEvent, pEvent->strDisplayNameEn)
                    + QStringLiteral(" device=%1\n").arg(bUnreadable ? "unreadable" : pEvent->bDeviceState ? "on" : "off"));
            }
        }
        if (pJson) {
            QJsonObject c = ItemJson(pChannel, pChannel->strDisplayName);
            c.insert("events", events);
            pJson->append(c);
        }
    }
}

// Channel and type states from their events, as the pages derive them.
void Recount(const QList<EventTypeItem*>& types)
{
    auto channels = [](const QList<ChannelItem*>& list) {
        int nSum = 0;
        for (ChannelItem* pChannel : list) {
            int nOn = 0, nShown = 0;
            for (EventItem* pEvent : qAsConst(pChannel->listEvent)) {
                if (!pEvent->bShow)
                    continue;
                ++nShown;
                nOn += pEvent->nState == 2;
            }
            pChannel->nState = nOn == 0 ? 0 : nOn == nShown ? 2 : 1;
            nSum += pChannel->nState;
        }
        return AggregateState(nSum, list.size());
    };
    for (EventTypeItem* pType : types) {
        if (pType->listIOType.isEmpty()) {
            pType->nState = channels(pType->listChannel);
            continue;
        }
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            pIO->nState = channels(pIO->listChannel);
    }
}

// Writes the model and reports like the window: "Applied." or the error list.
int ApplyAndReport(CliSession& session, int nIndex)
{
    if (!session.Write(nIndex))
        return Fail(DeviceFailed, "the device is not open");
    if (const int rc = CheckLink(session, nIndex, "written"))
        return rc;
    if (!MessageRows::HasErrors(session.Model(nIndex))) {
        Out("Applied.\n");
        return Ok;
    }
    Out("Applying failed. Error list:\n");
    for (const MessageGroup& group : MessageRows::Groups(0, session.Model(nIndex), false))
        for (const MessageRow& row : group.rows)
            Out(QStringLiteral("ERROR\t%1\t%2\t%3\t%4\n").arg(group.strTitle, row.strChannel, row.strEvents, row.strError));
    return ApplyFailed;
}

QList<ChannelItem*> AllChannels(const QList<EventTypeItem*>& types)
{
    QList<ChannelItem*> channels;
    for (EventTypeItem* pType : types) {
        channels += pType->listChannel;
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            channels += pIO->listChannel;
    }
    return channels;
}

} // namespace

int Devices(const QStringList& args)
{
    Parser parser("Lists every device the producers offer.");
    parser.p.addOption(parser.json);
    int nExit = Ok;
    if (!parser.parse("devices", args, nExit))
        return nExit;
    CliSession session;
    const QList<DeviceInfo>& devices = session.Devices();
    if (parser.p.isSet(parser.json)) {
        QJsonArray list;
        for (const DeviceInfo& d : devices)
            list.append(QJsonObject{{"number", int(d.nDeviceNumber)}, {"label", CliSession::Label(d)},
                                    {"key", CliSession::Key(d)},
                                    {"model", QString::fromUtf8(reinterpret_cast<const char*>(d.szDeviceName))},
                                    {"serial", QString::fromLatin1(d.szLabelDetail)}});
        Out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)));
    } else {
        Out("NUMBER\tLABEL\tKEY\tMODEL\tSERIAL\n");
        for (const DeviceInfo& d : devices)
            Out(QStringLiteral("%1\t%2\t%3\t%4\t%5\n").arg(d.nDeviceNumber).arg(CliSession::Label(d), CliSession::Key(d),
                QString::fromUtf8(reinterpret_cast<const char*>(d.szDeviceName)), QString::fromLatin1(d.szLabelDetail)));
    }
    return devices.isEmpty() ? Fail(NoDevice, NoDeviceText()) : Ok;
}

int Producers(const QStringList& args)
{
    Parser parser("Lists every producer file found, how it was found, what it says of itself and its devices.");
    parser.p.addOption(parser.json);
    int nExit = Ok;
    if (!parser.parse("producers", args, nExit))
        return nExit;
    const QString strFolder = DeviceDiscovery::ProducerFolder();
    const QStringList runtime = DeviceDiscovery::ScanProducerFiles(strFolder);
    QList<QPair<QString, QString>> producers; // file, how found
    for (const QString& strName : runtime)
        producers.append({strName, QStringLiteral("runtime folder")});
    for (const QString& strPath : DeviceDiscovery::GenTLPathProducers(runtime))
        producers.append({strPath, QStringLiteral("GENICAM_GENTL64_PATH")});
    QJsonArray list;
    if (!parser.p.isSet(parser.json))
        Out("PATH\tFOUND\tTLTYPE\tVENDOR\tDEVICES\tSTATUS\n");
    for (const auto& producer : qAsConst(producers)) {
        NXAProducerInfo info{};
        const int rc = NXAGetProducerInfo(producer.first.toLocal8Bit().constData(), &info);
        const QString strPath = QDir::isAbsolutePath(producer.first) ? producer.first
                                                                     : QDir(strFolder).filePath(producer.first);
        QString strStatus = rc == 0 ? QStringLiteral("ok") : ProducerErrorText(rc);
        const QString strProblems = QString::fromUtf8(info.szProblems).replace(QLatin1Char('\n'), QStringLiteral("; "));
        if (!strProblems.isEmpty())
            strStatus += QStringLiteral("; not used: ") + strProblems;
        if (parser.p.isSet(parser.json)) {
            list.append(QJsonObject{{"path", strPath}, {"found", producer.second},
                                    {"tlType", QString::fromUtf8(info.szTlType)}, {"vendor", QString::fromUtf8(info.szVendor)},
                                    {"model", QString::fromUtf8(info.szModel)}, {"devices", int(info.nDevices)},
                                    {"error", rc},
                                    {"problems", QJsonArray::fromStringList(QString::fromUtf8(info.szProblems)
                                                                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts))}});
        } else {
            Out(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n").arg(strPath, producer.second, QString::fromUtf8(info.szTlType),
                QString::fromUtf8(info.szVendor)).arg(info.nDevices).arg(strStatus));
        }
    }
    if (parser.p.isSet(parser.json))
        Out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)));
    if (producers.isEmpty())
        return Fail(NoDevice, QStringLiteral("no producer found in %1 (DoVI*.cti) nor in GENICAM_GENTL64_PATH (\"%2\")")
                                  .arg(strFolder, qEnvironmentVariable("GENICAM_GENTL64_PATH")));
    return Ok;
}

int Show(const QStringList& args)
{
    Parser parser("Prints a device's event model: types, IO lines, channels and events with their states.");
    parser.p.addOptions({parser.device, parser.level, parser.json});
    int nExit = Ok;
    if (!parser.parse("show", args, nExit))
        return nExit;
    CliSession session;
    int nIndex = -1;
    if (const int rc = OpenDevice(session, parser.p.value(parser.device), nIndex))
        return rc;
    QList<EventTypeItem*>& types = session.Model(nIndex);
    ApplyUserLevel(types, parser.levelValue());
    const DeviceInfo& d = session.Devices().at(nIndex);
    if (types.isEmpty())
        std::fprintf(stderr, "note: %s shows no events: %s\n", qUtf8Printable(CliSession::Label(d)),
                     qUtf8Printable(DeviceProblems::Text(DeviceProblems::Get(int(d.nDeviceNumber)))));
    const QStringList unreadable = NotificationReadFailures::List(int(d.nDeviceNumber));
    if (parser.p.isSet(parser.json)) {
        QJsonArray typeList;
        for (const EventTypeItem* pType : types) {
            QJsonObject t = ItemJson(pType, pType->strDisplayName);
            QJsonArray channels, lines;
            PrintChannels(pType->listChannel, QString(), &channels, unreadable);
            for (const IOTypeItem* pIO : pType->listIOType) {
                QJsonObject io = ItemJson(pIO, pIO->strDisplayName);
                QJsonArray ioChannels;
                PrintChannels(pIO->listChannel, QString(), &ioChannels, unreadable);
                io.insert("channels", ioChannels);
                lines.append(io);
            }
            t.insert("channels", channels);
            t.insert("ioLines", lines);
            typeList.append(t);
        }
        const QJsonObject root{{"device", int(d.nDeviceNumber)}, {"label", CliSession::Label(d)},
                               {"level", parser.levelValue() == 1 ? "guru" : "recommended"}, {"types", typeList}};
        Out(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
        return Ok;
    }
    Out(QStringLiteral("Device %1: %2, level %3\n").arg(d.nDeviceNumber).arg(CliSession::Label(d))
            .arg(parser.levelValue() == 1 ? "guru" : "recommended"));
    for (const EventTypeItem* pType : types) {
        Out(ItemText("Type", pType, pType->strDisplayName) + "\n");
        PrintChannels(pType->listChannel, "  ", nullptr, unreadable);
        for (const IOTypeItem* pIO : pType->listIOType) {
            Out("  " + ItemText("IO", pIO, pIO->strDisplayName) + "\n");
            PrintChannels(pIO->listChannel, "    ", nullptr, unreadable);
        }
    }
    return Ok;
}

int Export(const QStringList& args)
{
    Parser parser("Writes a device's event choice to an event configuration file.");
    parser.p.addOption(parser.device);
    const QCommandLineOption force("force", "Export even when some event states could not be read (they are written as off).");
    parser.p.addOption(force);
    parser.p.addPositionalArgument("file", "The .ect file to write.");
    int nExit = Ok;
    if (!parser.parse("export", args, nExit))
        return nExit;
    if (parser.p.positionalArguments().size() != 1)
        return Fail(Usage, "export needs one file name");
    CliSession session;
    int nIndex = -1;
    if (const int rc = OpenDevice(session, parser.p.value(parser.device), nIndex))
        return rc;
    if (session.Model(nIndex).isEmpty())
        return Fail(NoModel, CliSession::Label(session.Devices().at(nIndex)) + " has no events to export: "
                                  + DeviceProblems::Text(DeviceProblems::Get(int(session.Devices().at(nIndex).nDeviceNumber)))
                                  + " Nothing was written.");
    if (const int rc = CheckReadComplete(session, nIndex, parser.p.isSet(force), true))
        return rc;
    QFile file(parser.p.positionalArguments().first());
    if (!file.open(QIODevice::WriteOnly))
        return Fail(FileFailed, "cannot write " + file.fileName() + ": " + file.errorString());
    if (!EventConfigFile::Write(&file, session.Model(nIndex)))
        return Fail(FileFailed, "cannot write " + file.fileName());
    file.close();
    Out("File exported.\n");
    return Ok;
}

int Import(const QStringList& args)
{
    Parser parser("Reads an event configuration file into a device's choice and applies it.");
    parser.p.addOption(parser.device);
    const QCommandLineOption dryRun("dry-run", "Apply nothing: print what would change and what matches nothing.");
    const QCommandLineOption force("force", "Apply even when some event states could not be read (they are written as off).");
    parser.p.addOptions({dryRun, force});
    parser.p.addPositionalArgument("file", "The .ect file to read.");
    int nExit = Ok;
    if (!parser.parse("import", args, nExit))
        return nExit;
    if (parser.p.positionalArguments().size() != 1)
        return Fail(Usage, "import needs one file name");
    CliSession session;
    int nIndex = -1;
    if (const int rc = OpenDevice(session, parser.p.value(parser.device), nIndex))
        return rc;
    const QString strPath = parser.p.positionalArguments().first();
    QString strText;
    QString strWhy;
    if (EventConfigFile::ReadFile(strPath, strText, &strWhy) != EventConfigFile::ReadResult::Ok) {
        Out("Failed to import.\n");
        return Fail(FileFailed, "cannot read " + strPath + ": " + strWhy);
    }
    QList<EventTypeItem*>& types = session.Model(nIndex);
    ApplyUserLevel(types, 1);

    // States before, to report or undo.
    QHash<RWItem*, int> before;
    for (EventTypeItem* pType : types) {
        before.insert(pType, pType->nState);
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            before.insert(pIO, pIO->nState);
    }
    for (ChannelItem* pChannel : AllChannels(types)) {
        before.insert(pChannel, pChannel->nState);
        for (EventItem* pEvent : qAsConst(pChannel->listEvent))
            before.insert(pEvent, pEvent->nState);
    }
    QStringList unmatched;
    const bool bImported = EventConfigFile::ApplyText(strText, types, &unmatched);
    if (parser.p.isSet(dryRun)) {
        for (ChannelItem* pChannel : AllChannels(types))
            for (EventItem* pEvent : qAsConst(pChannel->listEvent))
                if ((before.value(pEvent) == 2) != (pEvent->nState == 2))
                    Out(QStringLiteral("CHANGE\t%1\t%2\t%3 -> %4\n").arg(pChannel->strDisplayName, pEvent->strName,
                        QLatin1String(StateText(before.value(pEvent))), QLatin1String(StateText(pEvent->nState))));
        for (const QString& strEntry : qAsConst(unmatched))
            Out("UNMATCHED\t" + strEntry + "\n");
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            it.key()->nState = it.value();
        return bImported ? Ok : NothingImported;
    }
    if (!bImported) {
        Out("Failed to import.\n");
        return NothingImported;
    }
    if (const int rc = CheckReadComplete(session, nIndex, parser.p.isSet(force)))
        return rc;
    // A file made for another device (or another way of describing events) places only what matches.
    for (const QString& strEntry : qAsConst(unmatched))
        std::fprintf(stderr, "not placed: %s\n", qUtf8Printable(strEntry));
    Out("Succeed.\n");
    return ApplyAndReport(session, nIndex);
}

int Set(const QStringList& args)
{
    Parser parser("Switches events by name (event, channel or type name), then applies.");
    parser.p.addOptions({parser.device, parser.level});
    const QCommandLineOption on("on", "Switch on the events of NAME.", "NAME");
    const QCommandLineOption off("off", "Switch off the events of NAME.", "NAME");
    const QCommandLineOption allOn("all-on", "Switch on every shown event.");
    const QCommandLineOption allOff("all-off", "Switch off every shown event.");
    const QCommandLineOption force("force", "Apply even when some event states could not be read (they are written as off).");
    parser.p.addOptions({on, off, allOn, allOff, force});
    int nExit = Ok;
    if (!parser.parse("set", args, nExit))
        return nExit;
    if (!parser.p.isSet(on) && !parser.p.isSet(off) && !parser.p.isSet(allOn) && !parser.p.isSet(allOff))
        return Fail(Usage, "set needs --on, --off, --all-on or --all-off");
    CliSession session;
    int nIndex = -1;
    if (const int rc = OpenDevice(session, parser.p.value(parser.device), nIndex))
        return rc;
    QList<EventTypeItem*>& types = session.Model(nIndex);
    ApplyUserLevel(types, parser.levelValue());

    // The shown events a name stands for: its events, its channel's, or its type's (or IO line's).
    auto eventsOf = [&types](const QString& strName) {
        QList<EventItem*> found;
        auto channelEvents = [&](const QList<ChannelItem*>& channels, bool bAll) {
            for (ChannelItem* pChannel : channels)
                for (EventItem* pEvent : qAsConst(pChannel->listEvent))
                    if (pEvent->bShow && (bAll || pChannel->strName == strName || pEvent->strName == strName))
                        found.append(pEvent);
        };
        for (EventTypeItem* pType : types) {
            const bool bType = pType->strName == strName;
            channelEvents(pType->listChannel, bType);
            for (IOTypeItem* pIO : qAsConst(pType->listIOType))
                channelEvents(pIO->listChannel, bType || pIO->strName == strName);
        }
        return found;
    };
    // Every name is checked before anything changes.
    QList<QPair<QList<EventItem*>, int>> changes;
    const QStringList options = parser.p.optionNames();
    QStringList onNames = parser.p.values(on), offNames = parser.p.values(off);
    for (const QString& strOption : options) {
        if (strOption == "all-on" || strOption == "all-off") {
            QList<EventItem*> all;
            for (ChannelItem* pChannel : AllChannels(types))
                for (EventItem* pEvent : qAsConst(pChannel->listEvent))
                    if (pEvent->bShow)
                        all.append(pEvent);
            changes.append({all, strOption == "all-on" ? 2 : 0});
        } else if (strOption == "on" || strOption == "off") {
            const QString strName = strOption == "on" ? onNames.takeFirst() : offNames.takeFirst();
            const QList<EventItem*> found = eventsOf(strName);
            if (found.isEmpty())
                return Fail(UnknownName, "no shown event, channel or type is named " + strName);
            changes.append({found, strOption == "on" ? 2 : 0});
        }
    }
    if (const int rc = CheckReadComplete(session, nIndex, parser.p.isSet(force)))
        return rc;
    for (const auto& change : qAsConst(changes))
        for (EventItem* pEvent : change.first)
            pEvent->nState = change.second;
    Recount(types);
    return ApplyAndReport(session, nIndex);
}

namespace {

std::atomic<bool> g_bInterrupted{false};

void OnInterrupt(int)
{
    g_bInterrupted = true;
}

} // namespace

int Monitor(const QStringList& args)
{
    Parser parser("Prints a device's events as they arrive, then a summary per event on stderr.");
    parser.p.addOption(parser.device);
    const QCommandLineOption seconds("seconds", "Stop after S seconds (default: at Ctrl+C).", "S");
    const QCommandLineOption format("format", "text, csv or jsonl (default: text).", "FORMAT", "text");
    parser.p.addOptions({seconds, format});
    int nExit = Ok;
    if (!parser.parse("monitor", args, nExit))
        return nExit;
    const QString strFormat = parser.p.value(format);
    if (strFormat != "text" && strFormat != "csv" && strFormat != "jsonl")
        return Fail(Usage, "unknown format " + strFormat);
    bool bSeconds = true;
    const double dLimit = parser.p.isSet(seconds) ? parser.p.value(seconds).toDouble(&bSeconds) : 0;
    if (!bSeconds || dLimit < 0)
        return Fail(Usage, "--seconds needs a number");
    CliSession session;
    int nIndex = -1;
    if (const int rc = OpenDevice(session, parser.p.value(parser.device), nIndex))
        return rc;
    CCamInterface* pInterface = session.Interface(nIndex);
    NXADeviceStatus status{};
    if (NXAGetDeviceStatus(pInterface, &status) == 0 && status.nEventsRefused != 0)
        return Fail(NoEvents, QStringLiteral("%1 cannot send events: its producer refused them (error 0x%2)")
                                  .arg(CliSession::Label(session.Devices().at(nIndex)))
                                  .arg(quint32(status.nEventsRefused), 8, 16, QLatin1Char('0')));
    EventPrinter printer(pInterface, strFormat);
    const quint64 nKey = quint64(quintptr(pInterface));
    DeviceEventRegistry::Register(nKey, &printer);
    // Events sent before this line are not printed: scripts wait for it.
    std::fprintf(stderr, "# watching %s\n", qUtf8Printable(CliSession::Label(session.Devices().at(nIndex))));
    std::fflush(stderr);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (g_bInterrupted || (dLimit > 0 && clock.elapsed() >= qint64(dLimit * 1000)))
            loop.quit();
        if (NXAGetDeviceStatus(pInterface, &status) == 0 && status.nEventEndCode != 0)
            loop.quit();
        std::fflush(stdout);
    });
    poll.start(50);
    loop.exec();
    DeviceEventRegistry::Unregister(&printer); // waits for an event being printed
    pInterface->RegisterEventCallback(nullptr, nullptr); // events stopped: the producer's counts are final
    printer.Summary();
    NXAGetDeviceStatus(pInterface, &status);
    if (status.nLost)
        std::fprintf(stderr, "# lost event packets: %llu\n", (unsigned long long)status.nLost);
    if (status.nMalformed)
        std::fprintf(stderr, "# malformed packets: %llu\n", (unsigned long long)status.nMalformed);
    if (status.nDropped)
        std::fprintf(stderr, "# unreadable events: %llu\n", (unsigned long long)status.nDropped);
    if (status.nOverflow)
        std::fprintf(stderr, "# events dropped by the producer, not taken in time: %llu\n",
                     (unsigned long long)status.nOverflow);
    if (status.nEventEndCode != 0)
        return Fail(DeviceLost, QStringLiteral("the device stopped sending events (error 0x%1): is it still "
                                               "powered and connected?")
                                    .arg(quint32(status.nEventEndCode), 8, 16, QLatin1Char('0')));
    return Ok;
}

void InstallLogFilter()
{
    qInstallMessageHandler(OnLogMessage);
}

int Run(const QStringList& arguments)
{
    const QString strUsage =
        "Usage: saltire-cli COMMAND [options]\n"
        "Commands:\n"
        "  devices   list the devices the producers offer\n"
        "  producers list the producer files found and what each offers\n"
        "  show      print a device's event model\n"
        "  export    write a device's event choice to an .ect file\n"
        "  import    read an .ect file into a device and apply it\n"
        "  set       switch events by name and apply\n"
        "  monitor   print a device's events as they arrive\n"
        "Every command takes --help. Exit codes: 0 ok, 1 usage, 2 no such device, 3 device not opened,\n"
        "4 file error, 5 nothing imported, 6 apply failed, 7 unknown name, 8 device lost,\n"
        "9 some event states unreadable (set and import apply them only with --force),\n"
        "10 the device cannot send events (monitor), 11 the device shows no events (export).\n"
        "--device takes a number, label, key or serial number as devices prints them; every command\n"
        "takes --verbose to print the log's warnings too.\n";
    const QString strCommand = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (strCommand == "--version" || strCommand == "-v") {
        Out(QStringLiteral("saltire-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return Ok;
    }
    if (strCommand.isEmpty() || strCommand == "--help" || strCommand == "-h" || strCommand == "help") {
        Out(strUsage);
        return strCommand.isEmpty() ? Usage : Ok;
    }
    if (strCommand == "devices")
        return Devices(rest);
    if (strCommand == "producers")
        return Producers(rest);
    if (strCommand == "show")
        return Show(rest);
    if (strCommand == "export")
        return Export(rest);
    if (strCommand == "import")
        return Import(rest);
    if (strCommand == "set")
        return Set(rest);
    if (strCommand == "monitor")
        return Monitor(rest);
    std::fprintf(stderr, "%s", qPrintable(strUsage));
    return Fail(Usage, "unknown command " + strCommand);
}

} // namespace Cli
