// Prints what exporting and importing an event configuration file costs for a device with 4,000
// events. Not a test.

#include "channelitem.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace Saltire;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // An IO category with 4 lines and 6 plain categories, 4 channels of 100 events each: 4,000 events.
    QList<EventTypeItem*> types;
    int events = 0;
    auto channels = [&](QList<ChannelItem*>& list, int perChannel) {
        for (int c = 0; c < 4; ++c) {
            auto* channel = new ChannelItem;
            channel->strName = QString("Channel%1").arg(c);
            channel->nValue = c;
            for (int e = 0; e < perChannel; ++e, ++events) {
                auto* event = new EventItem;
                event->strName = QString("SignalState%1_%2").arg(e).arg(c);
                event->nValue = events;
                event->nState = e % 2 ? 2 : 0;
                channel->listEvent << event;
            }
            list << channel;
        }
    };
    auto* io = new EventTypeItem;
    io->strName = "LineIOEvent";
    for (int l = 0; l < 4; ++l) {
        auto* line = new IOTypeItem;
        line->strName = QString("Line%1").arg(l);
        line->nValue = l;
        channels(line->listChannel, 100);
        io->listIOType << line;
    }
    types << io;
    for (int t = 1; t <= 6; ++t) {
        auto* type = new EventTypeItem;
        type->strName = QString("Group%1Event").arg(t);
        type->nValue = t;
        channels(type->listChannel, 100);
        types << type;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("large.ect");
    QElapsedTimer t;
    t.start();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !EventConfigFile::Write(&out, types))
        return 1;
    out.close();
    const double exportMs = t.nsecsElapsed() / 1e6;

    for (EventTypeItem* type : types)
        type->nState = 0;
    t.restart();
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    const bool imported = EventConfigFile::ApplyText(QString::fromUtf8(in.readAll()), types);
    const double importMs = t.nsecsElapsed() / 1e6;

    std::printf("%d events, file of %lld bytes\n", events, QFile(path).size());
    std::printf("export (text and write)        %8.2f ms   (target: under 50 ms)\n", exportMs);
    std::printf("import (read, parse, apply)    %8.2f ms   (target: under 50 ms)%s\n", importMs,
                imported ? "" : "   NOTHING IMPORTED");
    qDeleteAll(types);
    return 0;
}
