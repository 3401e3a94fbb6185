#include "channelcheckwidget.h"
#include "channelitem.h"
#include "checklistleftwidget.h"
#include "checklistmainwidget.h"
#include "checklistrightwidget.h"
#include "checklistshared.h"
#include "customcheckbox.h"
#include "customlabel.h"
#include "eventitem.h"
#include "eventtypecheckwidget.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QPointer>
#include <QtTest>

using namespace Saltire;

namespace {

EventItem* Event(const QString& name, int state = 0, int level = 0, int width = 100)
{
    auto* e = new EventItem;
    e->strName = name;
    e->strDisplayNameEn = name + " En";
    e->strDisplayNameCn = name + " Cn";
    e->nState = state;
    e->nLevel = level;
    e->nWidthEn = width;
    e->nWidthCn = width / 2;
    return e;
}

ChannelItem* Channel(int value, QList<EventItem*> events, int level = 0)
{
    auto* c = new ChannelItem;
    c->strName = QString("Channel%1").arg(value);
    c->strDisplayName = QString("Channel %1").arg(value);
    c->nValue = value;
    c->nLevel = level;
    c->listEvent = events;
    int on = 0;
    for (EventItem* e : events)
        on += e->nState == 2;
    c->nState = on == 0 ? 0 : on == events.size() ? 2 : 1;
    return c;
}

EventTypeItem* Type(const QString& name, QList<ChannelItem*> channels, int level = 0)
{
    auto* t = new EventTypeItem;
    t->strName = name + "Event";
    t->strDisplayName = name;
    t->nLevel = level;
    t->listChannel = channels;
    return t;
}

// The model a test works on, freed with it.
struct Model {
    QList<EventTypeItem*> types;
    ~Model() { qDeleteAll(types); }
};

// The grids are laid out on the event-loop turn after the page gets its width.
bool GridsBuilt(CheckListMainWidget& page)
{
    for (EventTypeCheckWidget* group : page.RightWidget()->Groups()) {
        if (group->isHidden())
            continue;
        for (ChannelCheckWidget* row : group->ChannelWidgets()) {
            bool available = false;
            for (EventItem* e : row->ChannelItem()->listEvent)
                available = available || e->bShow;
            if (row->isHidden() || !available)
                continue;
            if (row->EventCheckBoxes().isEmpty() || !row->EventCheckBoxes().first()->isVisible())
                return false;
        }
    }
    return true;
}

// Shows the page at the given size and waits until its grids are built.
bool ShowBuilt(CheckListMainWidget& page, const QSize& size = QSize(1000, 600))
{
    page.resize(size);
    page.show();
    return QTest::qWaitForWindowExposed(&page) && QTest::qWaitFor([&] { return GridsBuilt(page); });
}

void Click(QCheckBox* box)
{
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
}

} // namespace

class TestCheckList : public QObject
{
    Q_OBJECT

private slots:
    void cascade();
    void clicksNeverLeaveAPartialBox();
    void hiddenItemsKeepTheirState();
    void columnCount_data();
    void columnCount();
    void ioTypesGiveOneGroupPerLine();
    void listAndScrollFollowEachOther();
    void emptyPageHasNothingToDo();
};

void TestCheckList::cascade()
{
    Model m;
    m.types << Type("Exposure", {Channel(0, {Event("A0"), Event("B0")}), Channel(1, {Event("A1"), Event("B1")})});
    CheckListMainWidget page(1, m.types, nullptr);
    QVERIFY(ShowBuilt(page));
    EventTypeCheckWidget* group = page.RightWidget()->Groups().at(0);
    ChannelCheckWidget* row0 = group->ChannelWidgets().at(0);
    ChannelCheckWidget* row1 = group->ChannelWidgets().at(1);

    Click(row1->EventCheckBoxes().at(0));
    Click(row1->EventCheckBoxes().at(1));
    QCOMPARE(row1->CheckBox()->checkState(), Qt::Checked);
    QCOMPARE(group->CheckBox()->checkState(), Qt::PartiallyChecked);
    Click(row0->EventCheckBoxes().at(0));
    QCOMPARE(row0->CheckBox()->checkState(), Qt::PartiallyChecked);
    Click(row0->EventCheckBoxes().at(1));
    QCOMPARE(row0->CheckBox()->checkState(), Qt::Checked);
    QCOMPARE(group->CheckBox()->checkState(), Qt::Checked);
    QCOMPARE(m.types.at(0)->nState, 2);
    QCOMPARE(m.types.at(0)->listChannel.at(0)->nState, 2);

    // One untick: channel and group go partial, the model follows.
    Click(row1->EventCheckBoxes().at(0));
    QCOMPARE(row1->CheckBox()->checkState(), Qt::PartiallyChecked);
    QCOMPARE(group->CheckBox()->checkState(), Qt::PartiallyChecked);
    QCOMPARE(m.types.at(0)->listChannel.at(1)->listEvent.at(0)->nState, 0);
    QCOMPARE(m.types.at(0)->listChannel.at(1)->nState, 1);
    QCOMPARE(m.types.at(0)->nState, 1);

    // The channel box sets its events; the group box its channels.
    Click(row1->CheckBox());
    QCOMPARE(m.types.at(0)->listChannel.at(1)->listEvent.at(0)->nState, 2);
    QCOMPARE(row1->EventCheckBoxes().at(0)->checkState(), Qt::Checked);
    QCOMPARE(group->CheckBox()->checkState(), Qt::Checked);
    Click(group->CheckBox());
    for (ChannelItem* c : qAsConst(m.types.at(0)->listChannel))
        for (EventItem* e : qAsConst(c->listEvent))
            QCOMPARE(e->nState, 0);
    QCOMPARE(row0->EventCheckBoxes().at(1)->checkState(), Qt::Unchecked);

    // "Check All" and a reload from the model.
    page.SetAllChecked(true);
    QCOMPARE(row0->EventCheckBoxes().at(0)->checkState(), Qt::Checked);
    QCOMPARE(m.types.at(0)->nState, 2);
    m.types.at(0)->listChannel.at(0)->listEvent.at(0)->nState = 0;
    m.types.at(0)->listChannel.at(0)->nState = 1;
    page.UpdateCheckState();
    QCOMPARE(row0->EventCheckBoxes().at(0)->checkState(), Qt::Unchecked);
    QCOMPARE(row0->CheckBox()->checkState(), Qt::PartiallyChecked);
    QCOMPARE(group->CheckBox()->checkState(), Qt::Checked); // loaded as stored, not recomputed
}

void TestCheckList::clicksNeverLeaveAPartialBox()
{
    Model m;
    m.types << Type("Frame", {Channel(0, {Event("A", 2), Event("B")}), Channel(1, {Event("C")})});
    CheckListMainWidget page(1, m.types, nullptr);
    QVERIFY(ShowBuilt(page));
    EventTypeCheckWidget* group = page.RightWidget()->Groups().at(0);
    ChannelCheckWidget* row0 = group->ChannelWidgets().at(0);
    QCOMPARE(row0->CheckBox()->checkState(), Qt::PartiallyChecked);
    QCOMPARE(group->CheckBox()->checkState(), Qt::PartiallyChecked);
    Click(row0->CheckBox());
    QCOMPARE(row0->CheckBox()->checkState(), Qt::Checked);
    Click(group->CheckBox());
    QCOMPARE(group->CheckBox()->checkState(), Qt::Checked);
    QCOMPARE(group->ChannelWidgets().at(1)->EventCheckBoxes().at(0)->checkState(), Qt::Checked);
    Click(group->CheckBox());
    QCOMPARE(group->CheckBox()->checkState(), Qt::Unchecked);
    QCOMPARE(row0->EventCheckBoxes().at(0)->checkState(), Qt::Unchecked);
}

void TestCheckList::hiddenItemsKeepTheirState()
{
    Model m;
    // A Guru channel with its events on, a Guru event in a plain channel, a Guru type.
    m.types << Type("Trigger", {Channel(0, {Event("Plain"), Event("Secret", 2, 1)}), Channel(1, {Event("G1", 2)}, 1)});
    m.types << Type("Diagnostic", {Channel(0, {Event("D", 2)})}, 1);
    CheckListMainWidget page(0, m.types, nullptr);
    QVERIFY(ShowBuilt(page));
    EventTypeCheckWidget* group = page.RightWidget()->Groups().at(0);
    QVERIFY(group->ChannelWidgets().at(1)->isHidden());
    QVERIFY(page.RightWidget()->Groups().at(1)->isHidden());
    QVERIFY(page.LeftWidget()->item(1)->isHidden());
    QCOMPARE(group->ChannelWidgets().at(0)->EventCheckBoxes().size(), 1); // the Guru event has no box

    Click(group->CheckBox());
    QCOMPARE(m.types.at(0)->listChannel.at(0)->listEvent.at(0)->nState, 2);
    Click(group->CheckBox());
    QCOMPARE(m.types.at(0)->listChannel.at(0)->listEvent.at(0)->nState, 0);
    page.SetAllChecked(false);
    QCOMPARE(m.types.at(0)->listChannel.at(0)->listEvent.at(1)->nState, 2); // unavailable event
    QCOMPARE(m.types.at(0)->listChannel.at(1)->listEvent.at(0)->nState, 2); // hidden channel
    QCOMPARE(m.types.at(1)->listChannel.at(0)->listEvent.at(0)->nState, 2); // hidden group
    // After a user change the group counts the hidden, checked channel...
    QCheckBox* plain = group->ChannelWidgets().at(0)->EventCheckBoxes().at(0);
    Click(plain);
    Click(plain);
    QCOMPARE(group->CheckBox()->checkState(), Qt::PartiallyChecked);
    // ...after a level change only the available ones.
    page.SetUserLevel(0);
    QCOMPARE(group->CheckBox()->checkState(), Qt::Unchecked);
    page.SetUserLevel(1); // Guru: shown again, in the list too
    QVERIFY(!group->ChannelWidgets().at(1)->isHidden());
    QVERIFY(!page.RightWidget()->Groups().at(1)->isHidden());
    QVERIFY(!page.LeftWidget()->item(1)->isHidden());
}

void TestCheckList::columnCount_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("widest");
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("boxWidth");
    QTest::newRow("the example") << 1000 << 152 << 8 << 3 << 218;
    QTest::newRow("at most 346: one column, no width") << 346 << 152 << 8 << 1 << 0;
    QTest::newRow("just below a second column") << 346 + 199 << 152 << 8 << 1 << 199;
    QTest::newRow("never more than the events") << 3000 << 50 << 2 << 2 << 1327;
}

void TestCheckList::columnCount()
{
    QFETCH(int, width);
    QFETCH(int, widest);
    QFETCH(int, events);
    QFETCH(int, columns);
    QFETCH(int, boxWidth);
    Model m;
    QList<EventItem*> list;
    for (int i = 0; i < events; ++i)
        list << Event(QString("E%1").arg(i), 0, 0, i == 1 ? widest : 40);
    m.types << Type("Wide", {Channel(0, list)});
    CheckListRightWidget panel(m.types, nullptr);
    QTest::ignoreMessage(QtInfoMsg, QString("Max check item width : %1").arg(qMax(widest, 40)).toUtf8().constData());
    QTest::ignoreMessage(QtInfoMsg, QString("ColumnCount : %1   EnvetCheckBoxWidth : %2").arg(columns).arg(boxWidth)
                                         .toUtf8().constData());
    // The width the panel is given, whatever its content would ask for.
    QResizeEvent resize(QSize(width, 400), QSize());
    QCoreApplication::sendEvent(&panel, &resize);
    ChannelCheckWidget* row = panel.Groups().at(0)->ChannelWidgets().at(0);
    QTRY_COMPARE(row->EventCheckBoxes().size(), events);
    QCOMPARE(g_nColumnCount, columns);
    QCOMPARE(g_nEventCheckBoxWidth, boxWidth);
    const int rows = (events + columns - 1) / columns;
    QCOMPARE(row->height(), 32 * rows);
    QCOMPARE(panel.Groups().at(0)->height(), 76 + 32 * rows);
    // The same width again rebuilds nothing.
    QCheckBox* first = row->EventCheckBoxes().at(0);
    QResizeEvent same(QSize(width, 500), QSize(width, 400));
    QCoreApplication::sendEvent(&panel, &same);
    QCoreApplication::processEvents();
    QCOMPARE(row->EventCheckBoxes().at(0), first);
    // Another width places the same boxes, with their states, in the new grid.
    first->setCheckState(Qt::Checked);
    const QList<CustomCheckBox*> before = row->EventCheckBoxes();
    const QPointer<CustomCheckBox> last = before.last();
    const int height = row->height();
    QResizeEvent other(QSize(width >= 1000 ? 346 : 3000, 400), QSize(width, 500));
    QCoreApplication::sendEvent(&panel, &other);
    QTRY_VERIFY(row->height() != height);
    QCOMPARE(row->EventCheckBoxes(), before);
    QVERIFY(last);
    QCOMPARE(first->checkState(), Qt::Checked);
    QCOMPARE(before.at(1)->text(), QString("E1 En"));
    if (g_nEventCheckBoxWidth > 0)
        QCOMPARE(before.at(1)->width(), g_nEventCheckBoxWidth);
}

void TestCheckList::ioTypesGiveOneGroupPerLine()
{
    Model m;
    auto* io = Type("IO", {});
    io->strName = "LineIOEvent";
    for (int k = 0; k < 2; ++k) {
        auto* line = new IOTypeItem;
        line->strName = QString("Line%1").arg(k);
        line->strDisplayName = QString("Line %1").arg(k);
        line->listChannel << Channel(0, {Event("R")});
        io->listIOType << line;
    }
    m.types << Type("Frame", {Channel(0, {Event("F")})}) << io;
    CheckListMainWidget page(1, m.types, nullptr);
    QCOMPARE(page.RightWidget()->Groups().size(), 3);
    QCOMPARE(page.RightWidget()->Groups().at(1)->CheckBox()->text(), QString("IO_Line 0"));
    QCOMPARE(page.LeftWidget()->count(), 3);
    QCOMPARE(page.LeftWidget()->item(2)->text(), QString("  IO_Line 1"));
    QCOMPARE(page.RightWidget()->Groups().at(0)->CheckBox()->toolTip(), QString("FrameEvent : 0"));
}

void TestCheckList::listAndScrollFollowEachOther()
{
    Model m;
    for (int t = 0; t < 8; ++t) {
        QList<ChannelItem*> channels;
        for (int c = 0; c < 3; ++c)
            channels << Channel(c, {Event("A"), Event("B"), Event("C")});
        m.types << Type(QString("Type%1").arg(t), channels, t == 2 ? 1 : 0);
    }
    CheckListMainWidget page(0, m.types, nullptr);
    QVERIFY(ShowBuilt(page, QSize(900, 400)));
    QScrollBar* bar = page.ScrollArea()->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    CheckListLeftWidget* list = page.LeftWidget();
    QVERIFY(list->item(2)->isHidden()); // row 2 stands for the hidden group 2
    QCOMPARE(list->currentRow(), 0);

    // A click on a row brings its group's top to the top of the view.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(4)).center());
    QCOMPARE(list->currentRow(), 4);
    EventTypeCheckWidget* group4 = page.RightWidget()->Groups().at(4);
    const double ratio = double(bar->pageStep()) / page.ScrollArea()->height();
    QCOMPARE(bar->value(), qMin(bar->maximum(), int(page.RightWidget()->GroupOffset(4) * ratio)));
    QVERIFY(qAbs(group4->mapTo(page.ScrollArea()->viewport(), QPoint(0, 0)).y()) <= 8);

    // Scrolling by hand selects the first group whose top lies below the view's top.
    bar->setValue(page.RightWidget()->GroupOffset(3) + 5);
    QCOMPARE(list->currentRow(), 4);
    bar->setValue(0);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(page.RightWidget()->GroupAt(0), 0);
    QCOMPARE(page.RightWidget()->GroupAt(1 << 20), 7);
}

void TestCheckList::emptyPageHasNothingToDo()
{
    CheckListMainWidget page(1, {}, nullptr);
    auto* label = page.findChild<CustomLabel*>("EmptyLabel");
    QVERIFY(label);
    QCOMPARE(label->text(), QString("No data."));
    QVERIFY(!page.RightWidget() && !page.LeftWidget());
    page.SetAllChecked(true); // nothing to do, nothing breaks
    page.SetUserLevel(0);
}

QTEST_MAIN(TestCheckList)
#include "tst_checklist.moc"
