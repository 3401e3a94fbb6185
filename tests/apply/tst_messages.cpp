#include "channelitem.h"
#include "custom.h"
#include "customlabel.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"
#include "messagehintdlg.h"
#include "messagelistdialog.h"
#include "onetypemessagewidget.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QResource>
#include <QScrollArea>
#include <QtTest>

using namespace Saltire;

namespace {

EventItem* Event(const QString& name, bool deviceOn, int level = 0)
{
    auto* e = new EventItem;
    e->strName = name;
    e->strDisplayNameEn = name;
    e->strDisplayNameCn = name + "CN";
    e->bDeviceState = deviceOn;
    e->nState = 2; // checked in the panel, whatever the device says
    e->bShow = level == 0;
    return e;
}

ChannelItem* Channel(const QString& name, QList<EventItem*> events, const QString& error = QString())
{
    auto* c = new ChannelItem;
    c->strDisplayName = name;
    c->listEvent = events;
    c->strErrorMsg = error;
    return c;
}

QStringList Texts(QWidget* w, const QString& objectName)
{
    QStringList out;
    for (CustomLabel* l : w->findChildren<CustomLabel*>(objectName))
        out << l->text();
    return out;
}

} // namespace

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc")));
    }

    // The hint closes itself, its text on one line in the colour of its kind, beside the kind's icon, which shows
    // whole inside the hint.
    void hintClosesItself_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("icon"); // none for a hint without one
        QTest::addColumn<QString>("color");
        QTest::newRow("success") << 5 << ":/Kestrel/kestrel/ic_success.png" << "#00BA43";
        QTest::newRow("failure") << 3 << ":/Kestrel/kestrel/ic_danger.png" << "#FC0808";
        QTest::newRow("warning") << 1 << ":/Kestrel/kestrel/ic_warning.png" << "#FF7500";
        QTest::newRow("other") << 7 << "" << "";
    }
    void hintClosesItself()
    {
        QFETCH(int, kind);
        QFETCH(QString, icon);
        QFETCH(QString, color);
        delete new MessageHintDlg("x", kind, nullptr); // its timer dies with it, before the one of the hint below
        MessageHintDlg hint("A rather long text that must not wrap inside the hint at all", kind, nullptr);
        auto* text = hint.findChild<CustomLabel*>("HintText");
        QCOMPARE(text->cStyleValue("color"), color);
        auto* iconLabel = hint.findChild<CustomLabel*>("HintIcon");
        QCOMPARE(iconLabel->isHidden(), icon.isEmpty());
        QVERIFY(icon.isEmpty() || (!QPixmap(icon).isNull() && iconLabel->styleSheet().contains(icon)));
        QElapsedTimer t;
        t.start();
        QCOMPARE(hint.exec(), 1); // returns without any input
        QVERIFY(t.elapsed() >= 900);
        QCOMPARE(hint.size(), QSize(483, 48));
        QVERIFY(!text->wordWrap());
        if (icon.isEmpty())
            return;
        QCOMPARE(iconLabel->size(), QSize(30, 30));
        const QRect inParent(iconLabel->pos(), iconLabel->size());
        QVERIFY2(iconLabel->parentWidget()->rect().contains(inParent),
                 qPrintable(QString("icon %1,%2 %3x%4 in %5x%6").arg(inParent.x()).arg(inParent.y()).arg(inParent.width())
                                .arg(inParent.height()).arg(iconLabel->parentWidget()->width())
                                .arg(iconLabel->parentWidget()->height())));
    }

    void errorList()
    {
        QList<EventTypeItem*> types;
        auto* t = new EventTypeItem; // group error on the type: every channel with its events
        t->strDisplayName = "Exposure";
        t->strErrorMsg = "0xfffffc13";
        t->listChannel << Channel("Channel 0", {Event("A", false), Event("B", true)}) << Channel("Channel 1", {});
        auto* io = new EventTypeItem; // channel errors only
        io->strDisplayName = "IO";
        auto* line = new IOTypeItem;
        line->strDisplayName = "Line 0";
        line->listChannel << Channel("Channel 0", {Event("R", false)}, "0xfffffc0e") << Channel("Channel 1", {Event("S", false)});
        io->listIOType << line;
        auto* hidden = new EventTypeItem; // unavailable: never a block
        hidden->strDisplayName = "Hidden";
        hidden->bShow = false;
        hidden->strErrorMsg = "0x1";
        types << t << io << hidden;

        MessageListDialog dialog(0, types, nullptr);
        QCOMPARE(MessageListDialog::s_nListType, 0);
        QVERIFY(dialog.findChild<CustomLabel*>("ErrorIcon"));
        QCOMPARE(Texts(&dialog, "GroupTitle"), (QStringList{"Exposure", "IO_Line 0"}));
        QCOMPARE(Texts(&dialog, "EventNames"), (QStringList{"A, B", "R"}));
        QCOMPARE(Texts(&dialog, "ErrorText"), (QStringList{"0xfffffc13", "0xfffffc0e"}));
        QCOMPARE(dialog.findChildren<CustomLabel*>("EventNames").at(0)->cStyleValue("color"), QString("#FF0C21"));
        QVERIFY(dialog.height() <= 580);
        qDeleteAll(types);
    }

    void enabledList()
    {
        QList<EventTypeItem*> types;
        auto* t = new EventTypeItem;
        t->strDisplayName = "Frame";
        // On in the device: listed; checked but not applied: not listed; on but unavailable: not listed.
        t->listChannel << Channel("Channel 0", {Event("On", true), Event("Checked", false), Event("Guru", true, 1)});
        auto* off = new EventTypeItem;
        off->strDisplayName = "Off";
        off->listChannel << Channel("Channel 0", {Event("X", false)});
        types << t << off;
        MessageListDialog dialog(1, types, nullptr);
        QVERIFY(!dialog.findChild<CustomLabel*>("ErrorIcon"));
        QCOMPARE(Texts(&dialog, "GroupTitle"), QStringList{"Frame"});
        QCOMPARE(Texts(&dialog, "EventNames"), QStringList{"On"});
        QVERIFY(Texts(&dialog, "ErrorText").isEmpty());
        qDeleteAll(types);

        MessageListDialog empty(0, {}, nullptr);
        QCOMPARE(Texts(&empty, "NoEnabledEvents"), QStringList{"No enabled events."});
    }

    void heightFollowsTheContent()
    {
        QList<EventTypeItem*> types;
        MessageListDialog small(1, types, nullptr);
        const int smallHeight = small.height();
        QVERIFY(smallHeight < 580);
        QCOMPARE(small.findChild<QScrollArea*>("ListScrollArea")->height(), smallHeight - 60);
        for (int i = 0; i < 30; ++i) {
            auto* t = new EventTypeItem;
            t->strDisplayName = QString("Type %1").arg(i);
            t->listChannel << Channel("Channel 0", {Event("On", true)}) << Channel("Channel 1", {Event("On", true)});
            types << t;
        }
        MessageListDialog large(1, types, nullptr);
        QCOMPARE(large.height(), 580);
        QCOMPARE(large.findChild<QScrollArea*>("ListScrollArea")->height(), 520);
        qDeleteAll(types);
    }
};

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
