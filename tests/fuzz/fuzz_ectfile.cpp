// libFuzzer target: the event configuration file (.ect) reader, applied to a small model.
#include "channelitem.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventtypeitem.h"

#include <QString>
#include <QStringList>

#include <QtGlobal>

#include <cstdint>

using namespace Saltire;

// The parser's progress lines would drown the fuzzer's own.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QList<EventTypeItem*> model = [] {
        QList<EventTypeItem*> types;
        for (int t = 0; t < 2; ++t) {
            auto* type = new EventTypeItem;
            type->strName = QStringLiteral("Type%1").arg(t);
            type->nValue = t;
            for (int c = 0; c < 2; ++c) {
                auto* channel = new ChannelItem;
                channel->strName = QStringLiteral("Channel%1").arg(c);
                channel->nValue = c;
                for (int e = 0; e < 3; ++e) {
                    auto* event = new EventItem;
                    event->strName = QStringLiteral("Event%1").arg(e);
                    event->nValue = e;
                    channel->listEvent << event;
                }
                type->listChannel << channel;
            }
            types << type;
        }
        return types;
    }();
    QStringList unmatched;
    EventConfigFile::ApplyText(QString::fromUtf8(reinterpret_cast<const char*>(data), int(size)), model, &unmatched);
    EventConfigFile::ToText(model);
    return 0;
}
