// Prints what an event page costs for a device with 4,000 events: building and showing it, and laying it
// out again for a new width, beside the same page made of plain QCheckBoxes (the same scroll area, groups,
// channel rows and grids of fixed-width boxes, without the tool's styles), measured in the same run. Not a
// test.

#include "channelitem.h"
#include "checklistmainwidget.h"
#include "custom.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "refusedwritemarks.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QResource>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVector>

#include <algorithm>
#include <cstdio>

using namespace Saltire;

namespace {

// 10 categories x 4 channels x 100 events, names as cameras give them: the same events in every channel
// of a category. With bUnique, every event has a name of its own.
QList<EventTypeItem*> LargeModel(bool bUnique = false)
{
    QFont font(Custom::globalFontFamily());
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    const QStringList words{"Exposure", "Frame", "Trigger", "Line", "Counter", "Timer", "Encoder", "Sequencer"};
    QList<EventTypeItem*> types;
    for (int t = 0; t < 10; ++t) {
        auto* type = new EventTypeItem;
        type->strName = QString("Group%1Event").arg(t);
        type->strDisplayName = QString("Group %1").arg(t);
        for (int c = 0; c < 4; ++c) {
            auto* channel = new ChannelItem;
            channel->strName = QString("Channel%1").arg(c);
            channel->strDisplayName = QString("Channel %1").arg(c);
            channel->nValue = c;
            for (int e = 0; e < 100; ++e) {
                auto* event = new EventItem;
                event->strName = QString("%1%2").arg(words.at(e % words.size())).arg(e);
                event->strDisplayNameEn =
                    QString("%1 State %2").arg(words.at(e % words.size())).arg(bUnique ? t * 1000 + c * 100 + e : e);
                event->strDisplayNameCn = QString::fromUtf8("事件状态 %1").arg(e);
                event->nWidthEn = metrics.horizontalAdvance(event->strDisplayNameEn);
                event->nWidthCn = metrics.horizontalAdvance(event->strDisplayNameCn);
                event->nValue = t * 1000 + c * 100 + e;
                event->nState = e % 3 == 0 ? 2 : 0;
                event->nLevel = e % 5 == 4 ? 1 : 0; // a "Guru" event: hidden at the lower user level
                channel->listEvent << event;
            }
            type->listChannel << channel;
        }
        types << type;
    }
    return types;
}

// Until the page is laid out: resizes rebuild the grids on the next event-loop turn.
void Settle()
{
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// The page's shape with plain widgets: groups of channel rows, each a box and a grid of event boxes in the
// columns the page would use at this width. With styledArea, the scroll area and its viewport carry the
// page's own sheets (the viewport's rule reaches every box below it).
double BuildPlainPage(const QList<EventTypeItem*>& model, bool bStyledArea)
{
    QElapsedTimer t;
    t.start();
    QScrollArea plain;
    plain.setWidgetResizable(true);
    if (bStyledArea) {
        plain.setStyleSheet(Custom::styleSheet(SST_ScrollArea));
        plain.viewport()->setStyleSheet(QStringLiteral("QWidget{background-color:#F7F8FA;border:0px;}"));
    }
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    const int nColumns = 9;
    for (EventTypeItem* type : model) {
        layout->addWidget(new QCheckBox(type->strDisplayName, panel));
        for (ChannelItem* channel : qAsConst(type->listChannel)) {
            auto* row = new QHBoxLayout;
            row->addWidget(new QCheckBox(channel->strDisplayName, panel), 0, Qt::AlignTop);
            auto* grid = new QVBoxLayout;
            QHBoxLayout* line = nullptr;
            for (int k = 0; k < channel->listEvent.size(); ++k) {
                if (k % nColumns == 0) {
                    line = new QHBoxLayout;
                    grid->addLayout(line);
                }
                auto* box = new QCheckBox(channel->listEvent.at(k)->strDisplayNameEn, panel);
                box->setFixedWidth(150);
                box->setChecked(channel->listEvent.at(k)->nState == 2);
                line->addWidget(box);
            }
            row->addLayout(grid);
            layout->addLayout(row);
        }
    }
    plain.setWidget(panel);
    plain.resize(1600, 900);
    plain.show();
    Settle();
    return t.nsecsElapsed() / 1e6;
}

double Median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false");
    QApplication app(argc, argv);
    // The tool's own looks, as it loads them at start (named styles of the page included).
    QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc"));
    QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc"));
    Custom::addXmlPath(QStringLiteral(":/Kestrel/QSS/CustomStyleSheet_ks.xml"));
    const QList<EventTypeItem*> model = LargeModel();

    // Rounds alternate between the pages, so that a change of the machine's load reaches all of them alike;
    // the figures are the medians, the ratios the medians of those within a round.
    const int nRounds = 9;
    QVector<double> plainMs, plainStyledAreaMs, buildMs, constructMs;
    CheckListMainWidget* page = nullptr;
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        plainMs << BuildPlainPage(model, false);
        plainStyledAreaMs << BuildPlainPage(model, true);
        delete page;
        QElapsedTimer t;
        t.start();
        page = new CheckListMainWidget(1, model, nullptr);
        constructMs << t.nsecsElapsed() / 1e6;
        page->resize(1600, 900);
        page->show();
        Settle();
        buildMs << t.nsecsElapsed() / 1e6;
    }

    int nOwnSheets = 0;
    for (QCheckBox* box : page->findChildren<QCheckBox*>())
        nOwnSheets += !box->styleSheet().isEmpty();
    QElapsedTimer t;
    t.start();
    page->resize(1300, 900);
    Settle();
    const double relayoutMs = t.nsecsElapsed() / 1e6;

    t.restart();
    page->resize(1300, 700); // same width: nothing is rebuilt
    Settle();
    const double sameWidthMs = t.nsecsElapsed() / 1e6;

    // The same build with every event name different: no box shares its text's size with another.
    const QList<EventTypeItem*> uniqueModel = LargeModel(true);
    QVector<double> uniqueRatios, uniqueMs;
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        const double plainUnique = BuildPlainPage(uniqueModel, false);
        QElapsedTimer unique;
        unique.start();
        {
            CheckListMainWidget uniquePage(1, uniqueModel, nullptr);
            uniquePage.resize(1600, 900);
            uniquePage.show();
            Settle();
            uniqueMs << unique.nsecsElapsed() / 1e6;
        }
        uniqueRatios << uniqueMs.last() / plainUnique;
    }
    for (EventTypeItem* type : uniqueModel)
        delete type;

    const double plain = Median(plainMs), plainStyledArea = Median(plainStyledAreaMs), build = Median(buildMs);
    QVector<double> ratios, styledAreaRatios; // within each round
    for (int nRound = 0; nRound < nRounds; ++nRound) {
        ratios << buildMs.at(nRound) / plainMs.at(nRound);
        styledAreaRatios << buildMs.at(nRound) / plainStyledAreaMs.at(nRound);
    }
    // A refused write marks its box red: a new rule set for the page's panel once the page is shown.
    model.at(3)->listChannel.at(1)->listEvent.at(7)->nWriteError = 3;
    t.restart();
    RefusedWriteMarks::Update(page);
    Settle();
    const double markMs = t.nsecsElapsed() / 1e6;
    model.at(3)->listChannel.at(1)->listEvent.at(7)->nWriteError = 0;

    // Another user level hides some events: the grids of the channels whose shown events changed are made
    // again (their boxes deleted, the prototypes among them too).
    t.restart();
    page->SetUserLevel(0);
    Settle();
    const double levelMs = t.nsecsElapsed() / 1e6;

    std::printf("medians of %d rounds\n", nRounds);
    std::printf("the same page of plain QCheckBoxes, built and shown %8.1f ms\n", plain);
    std::printf("  the same in the page's styled scroll area       %8.1f ms\n", plainStyledArea);
    std::printf("event page of 4000 events, built and shown      %8.1f ms = %.2fx the plain page (target: at most 1.5x, "
                "and under 500 ms on an idle machine), %.2fx the plain page in the styled scroll area; boxes with a "
                "style sheet of their own (the prototypes of alike boxes): %d\n",
                build, Median(ratios), Median(styledAreaRatios), nOwnSheets);
    std::printf("  the same with every event name different      %8.1f ms = %.2fx its plain page\n", Median(uniqueMs),
                Median(uniqueRatios));
    std::printf("  of which the construction                     %8.1f ms\n", Median(constructMs));
    std::printf("the page laid out again for a new width         %8.1f ms   (target: under 100 ms)\n", relayoutMs);
    std::printf("a height change at the same width               %8.1f ms\n", sameWidthMs);
    std::printf("one refused event marked red on the shown page  %8.1f ms\n", markMs);
    std::printf("another user level, the grids made again        %8.1f ms\n", levelMs);
    delete page;
    for (EventTypeItem* type : model)
        delete type;
    return 0;
}
