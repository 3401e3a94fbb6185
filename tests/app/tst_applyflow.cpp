#include "saltiredlg.h"

#include "channelitem.h"
#include "checklistmainwidget.h"
#include "custom.h"
#include "customlabel.h"
#include "custompushbutton.h"
#include "customsavedonehintdlg.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventtypeitem.h"
#include "filedialogrequest.h"
#include "messagehintdlg.h"
#include "messagelistdialog.h"
#include "rweventfeaturethread.h"
#include "simfixture.h"

#include <QAction>
#include <QStackedWidget>
#include <QtTest>

using namespace Saltire;

namespace {

// Answers every modal window of the library and keeps what it showed.
struct Modals {
    QStringList hints, errors, listTitles, fileCaptions;
    int nLists = 0, nSaveDone = 0;
    QString strFile;
    Modals()
    {
        Custom::setModalHandler([this](QWidget* w) {
            if (auto* hint = qobject_cast<MessageHintDlg*>(w)) {
                hints << hint->findChild<CustomLabel*>("HintText")->text();
                hint->accept();
            } else if (auto* list = qobject_cast<MessageListDialog*>(w)) {
                ++nLists;
                for (CustomLabel* l : list->findChildren<CustomLabel*>("ErrorText"))
                    errors << l->text();
                for (CustomLabel* l : list->findChildren<CustomLabel*>("GroupTitle"))
                    listTitles << l->text();
                list->reject();
            } else if (auto* done = qobject_cast<CustomSaveDoneHintDlg*>(w)) {
                ++nSaveDone;
                done->accept();
            }
        });
        Custom::setFileDialogHandler([this](const FileDialogRequest& r) {
            fileCaptions << r.strCaption;
            return strFile;
        });
    }
    ~Modals()
    {
        Custom::setModalHandler(nullptr);
        Custom::setFileDialogHandler(nullptr);
    }
};

CheckListMainWidget* CurrentPage(SaltireDlg& dlg)
{
    return qobject_cast<CheckListMainWidget*>(dlg.findChild<QStackedWidget*>("EventPages")->currentWidget());
}

void Click(SaltireDlg& dlg, const char* name)
{
    auto* button = dlg.findChild<CustomPushButton*>(name);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Notification state of one event on the device, read back through the worker's instance.
int DeviceState(CCamInterface* cam, uint category, uint channel, uint event)
{
    EnumValue v{};
    if (cam->SetEnumValue("EventCategory", category) || cam->SetEnumValue("ChannelSelector", channel)
        || cam->SetEnumValue("EventSelector", event) || cam->GetEnumValue("EventNotification", &v, true))
        return -1;
    return int(v.nCurValue);
}

QList<EventItem*> Events(const QList<EventTypeItem*>& types)
{
    QList<EventItem*> out;
    for (EventTypeItem* t : types)
        for (ChannelItem* c : qAsConst(t->listChannel))
            out += c->listEvent;
    return out;
}

} // namespace

class TestApplyFlow : public QObject
{
    Q_OBJECT

private slots:
    void applyWritesTheShownEvents();
    void applyFailureListsTheErrors();
    void exportThenImportRestoresTheDevice();
    void withoutADevice();

private:
    bool Connect(SaltireDlg& dlg)
    {
        dlg.resize(1100, 760);
        dlg.show();
        return QTest::qWaitFor([&] { return CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(); }, 20000);
    }
};

void TestApplyFlow::applyWritesTheShownEvents()
{
    SimFixture sim;
    QVERIFY(sim.installProducer());
    QVERIFY(sim.addShippedDevice("camera_a"));
    Modals modals;
    SaltireDlg dlg;
    QVERIFY(Connect(dlg));
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    const QList<EventTypeItem*> types = *worker->GetEventTypeList(1);
    Click(dlg, "BtnCheckAll");
    Click(dlg, "BtnApply");
    QTRY_COMPARE(modals.hints, QStringList{"Applied."});
    QCOMPARE(modals.nLists, 0);
    CCamInterface* cam = worker->GetInterface();
    for (EventItem* e : Events(types))
        QVERIFY(e->bDeviceState);
    EventItem* trigger = types.at(2)->listChannel.at(3)->listEvent.at(0); // a Guru channel, shown at Guru
    QCOMPARE(DeviceState(cam, 2, 3, uint(trigger->nValue)), 1);

    // The enabled list shows what the device now has on.
    Click(dlg, "BtnEnabledList");
    QTRY_COMPARE(modals.nLists, 1);
    QCOMPARE(modals.listTitles, (QStringList{"Exposure", "Frame", "Trigger", "Diagnostic"}));
}

void TestApplyFlow::applyFailureListsTheErrors()
{
    SimFixture sim;
    QVERIFY(sim.installProducer());
    QVERIFY(sim.addShippedDevice("camera_a"));
    Modals modals;
    SaltireDlg dlg;
    QVERIFY(Connect(dlg));
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    CCamInterface* cam = worker->GetInterface();
    const QList<EventTypeItem*> types = *worker->GetEventTypeList(1);
    ChannelItem* failing = types.at(0)->listChannel.at(1);
    QVERIFY(sim.rewriteShippedDevice("camera_a", "[Faults]\nSetEnum1=EventNotification, 1, EventCategory=0;ChannelSelector=1, -1005\n"));
    QTRY_COMPARE([&] {
        cam->SetEnumValue("EventCategory", 0);
        cam->SetEnumValue("ChannelSelector", 1);
        cam->SetEnumValue("EventSelector", uint(failing->listEvent.at(0)->nValue));
        return cam->SetEnumValue("EventNotification", 1);
    }(), -1005);

    Click(dlg, "BtnCheckAll");
    Click(dlg, "BtnApply");
    QTRY_COMPARE(modals.nLists, 1);
    QVERIFY(modals.hints.isEmpty()); // the error list, never both
    QCOMPARE(modals.errors, QStringList{"0xfffffc13"});
    QCOMPARE(modals.listTitles, QStringList{"Exposure"});
    QCOMPARE(failing->strErrorMsg, QString("0xfffffc13"));
    QCOMPARE(failing->listEvent.at(0)->nState, 2); // the user's choice stays
    QVERIFY(!failing->listEvent.at(0)->bDeviceState);
    QCOMPARE(DeviceState(cam, 0, 1, uint(failing->listEvent.at(0)->nValue)), 0);
    QCOMPARE(DeviceState(cam, 0, 2, uint(types.at(0)->listChannel.at(2)->listEvent.at(0)->nValue)), 1);
}

void TestApplyFlow::exportThenImportRestoresTheDevice()
{
    SimFixture sim;
    QVERIFY(sim.installProducer());
    QVERIFY(sim.addShippedDevice("camera_a"));
    Modals modals;
    modals.strFile = sim.root() + "/choice.ect";
    SaltireDlg dlg;
    QVERIFY(Connect(dlg));
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    CCamInterface* cam = worker->GetInterface();
    const QList<EventTypeItem*> types = *worker->GetEventTypeList(1);
    const QList<EventItem*> events = Events(types);
    for (int i = 0; i < events.size(); ++i)
        events.at(i)->nState = i % 3 == 0 ? 2 : 0;
    CurrentPage(dlg)->UpdateCheckState();

    QAction* exportAction = dlg.findChild<QAction*>("ActExport");
    exportAction->trigger();
    QCOMPARE(modals.fileCaptions, QStringList{"Export"});
    QCOMPARE(modals.nSaveDone, 1);
    QFile file(modals.strFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written, EventConfigFile::ToText(types).toLocal8Bit());
    file.close();

    for (EventItem* e : events)
        e->nState = 0; // changed after the export
    dlg.findChild<QAction*>("ActImport")->trigger();
    QTRY_COMPARE(modals.hints, (QStringList{"Succeed.", "Applied."}));
    for (int i = 0; i < events.size(); ++i) {
        QCOMPARE(events.at(i)->nState, i % 3 == 0 ? 2 : 0);
        QCOMPARE(events.at(i)->bDeviceState, i % 3 == 0);
    }
    // The device itself, read back.
    int i = 0;
    for (EventTypeItem* t : types)
        for (ChannelItem* c : qAsConst(t->listChannel))
            for (EventItem* e : qAsConst(c->listEvent))
                QCOMPARE(DeviceState(cam, uint(t->nValue), uint(c->nValue), uint(e->nValue)), i++ % 3 == 0 ? 1 : 0);

    // A file the device cannot use: LF line ends.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(written).replace("\r\n", "\n"));
    file.close();
    modals.hints.clear();
    dlg.findChild<QAction*>("ActImport")->trigger();
    QTRY_COMPARE(modals.hints, QStringList{"Failed to import."});
}

void TestApplyFlow::withoutADevice()
{
    QTemporaryDir dir;
    qputenv("KESTREL_COMMON_FILES_DIR", dir.filePath("none").toLocal8Bit());
    Modals modals;
    modals.strFile = dir.filePath("x.ect");
    SaltireDlg dlg;
    dlg.show();
    QTRY_VERIFY(dlg.findChild<QWidget*>("DeviceCombo")->isEnabled());
    dlg.findChild<QAction*>("ActExport")->trigger();
    dlg.findChild<QAction*>("ActImport")->trigger();
    QTRY_COMPARE(modals.hints, QStringList{"Failed to import."});
    QVERIFY(modals.fileCaptions.isEmpty()); // no dialog before the check
    Click(dlg, "BtnApply");
    Click(dlg, "BtnEnabledList");
    QCOMPARE(modals.nLists, 0);
    QVERIFY(!QFile::exists(modals.strFile));
}

QTEST_MAIN(TestApplyFlow)
#include "tst_applyflow.moc"
