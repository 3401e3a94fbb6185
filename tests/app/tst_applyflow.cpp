#include "saltiredlg.h"

#include "channelitem.h"
#include "checklistleftwidget.h"
#include "checklistmainwidget.h"
#include "checklistrightwidget.h"
#include "custom.h"
#include "customcheckbox.h"
#include "customcombobox.h"
#include "customlabel.h"
#include "customloadingdialog.h"
#include "custompushbutton.h"
#include "customsavedonehintdlg.h"
#include "customtitlebar.h"
#include "eventconfigfile.h"
#include "eventitem.h"
#include "eventtypecheckwidget.h"
#include "eventtypeitem.h"
#include "filedialogrequest.h"
#include "messagehintdlg.h"
#include "messagelistdialog.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "nxeventlogwidget.h"
#include "nxinterface.h"
#include "rweventfeaturethread.h"
#include "simfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

using namespace Saltire;

namespace {

// Answers every modal window of the library and keeps what it showed.
struct Modals {
    QStringList hints, errors, errorTips, listTitles, fileCaptions, busy;
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
                for (CustomLabel* l : list->findChildren<CustomLabel*>("ErrorText")) {
                    errors << l->text();
                    errorTips << l->toolTip();
                }
                for (CustomLabel* l : list->findChildren<CustomLabel*>("GroupTitle"))
                    listTitles << l->text();
                list->reject();
            } else if (auto* done = qobject_cast<CustomSaveDoneHintDlg*>(w)) {
                ++nSaveDone;
                done->accept();
            } else if (qobject_cast<CustomLoadingDialog*>(w)) {
                busy << CustomLoadingDialog::loadingText(0);
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

// The window on one simulated device, every modal window answered.
struct Window {
    explicit Window(const QString& device, const QByteArray& extraIni = QByteArray(), const QString& second = QString())
        : bInstalled(sim.install(device, extraIni) && (second.isEmpty() || sim.addShippedDevice(second)))
    {
    }
    void Show()
    {
        dlg.resize(1100, 760);
        dlg.show();
    }
    // Shown, and connected to the first device: its page is there.
    bool Connect()
    {
        Show();
        return bInstalled
               && QTest::qWaitFor([&] { return CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(); }, 20000);
    }
    SimFixture sim;
    bool bInstalled;
    Modals modals;
    SaltireDlg dlg;
};

void Click(SaltireDlg& dlg, const char* name)
{
    auto* button = dlg.findChild<CustomPushButton*>(name);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Selects an event on the device the way its model describes events (a standard camera has EventSelector alone).
bool Select(CCamInterface* cam, const QList<EventTypeItem*>& types, const EventItem* event)
{
    for (EventTypeItem* t : types)
        for (ChannelItem* c : qAsConst(t->listChannel))
            if (c->listEvent.contains(const_cast<EventItem*>(event)))
                return (c->strName == "AllEvents"
                        || (cam->SetEnumValue("EventCategory", uint(t->nValue)) == 0
                            && cam->SetEnumValue("ChannelSelector", uint(c->nValue)) == 0))
                       && cam->SetEnumValue("EventSelector", uint(event->nValue)) == 0;
    return false;
}

int DeviceState(CCamInterface* cam, const QList<EventTypeItem*>& types, const EventItem* event)
{
    EnumValue v{};
    return !Select(cam, types, event) || cam->GetEnumValue("EventNotification", &v, true) ? -1 : int(v.nCurValue);
}

EventItem* FindEvent(const QList<EventTypeItem*>& types, const QString& name)
{
    for (EventTypeItem* t : types)
        for (ChannelItem* c : qAsConst(t->listChannel))
            for (EventItem* e : qAsConst(c->listEvent))
                if (e->strName == name)
                    return e;
    return nullptr;
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

    // A test may store the language in a folder of its own; the next ones start in English and store it in the
    // test's folder again, even after a failure.
    const QByteArray m_configDir = qgetenv("KESTREL_CONFIG_DIR");

private slots:
    void cleanup()
    {
        qputenv("KESTREL_CONFIG_DIR", m_configDir);
        NXInterface::setLanguage(QStringLiteral("ENG"));
    }
    void applyWritesTheShownEvents();
    void applyFailureListsTheErrors_data();
    void applyFailureListsTheErrors();
    void standardCameraPage();
    void exportThenImportRestoresTheDevice();
    void switchingDevicesKeepsEachPage();
    void oneDeviceNumberOnePage();
    void monitorShowsTheDevicesEvents();
    void closingDuringAJob();
    void deviceReadLaterShowsItsEvents();
    void unreadableStatesAreTold();
    void withoutADevice();
};

void TestApplyFlow::applyWritesTheShownEvents()
{
    Window w("camera_a");
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    Modals& modals = w.modals;
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
    QCOMPARE(DeviceState(cam, types, trigger), 1);

    // The enabled list shows what the device now has on.
    Click(dlg, "BtnEnabledList");
    QTRY_COMPARE(modals.nLists, 1);
    QCOMPARE(modals.listTitles, (QStringList{"Exposure", "Frame", "Trigger", "Diagnostic"}));
}

void TestApplyFlow::applyFailureListsTheErrors_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QString>("failingEvent"); // the notification write the device refuses
    QTest::addColumn<QString>("otherEvent");   // written on all the same
    QTest::addColumn<QString>("title");
    QTest::addColumn<uint>("on");
    QTest::newRow("nested enumerations")
        << "camera_a" << QByteArray("[Faults]\nSetEnum1=EventNotification, 1, EventCategory=0;ChannelSelector=1, -1005\n")
        << "ExposureStart_1" << "ExposureStart_2" << "Exposure" << 1u;
    QTest::newRow("standard camera")
        << "standard_d" << QByteArray("[Faults]\nSetEnum1=EventNotification, 2, EventSelector=36871, -1005\n")
        << "ExposureStart" << "FrameEnd" << "Event Control" << 2u;
}

void TestApplyFlow::applyFailureListsTheErrors()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, fault);
    QFETCH(QString, failingEvent);
    QFETCH(QString, otherEvent);
    QFETCH(QString, title);
    QFETCH(uint, on);
    Window w(device);
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    Modals& modals = w.modals;
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    CCamInterface* cam = worker->GetInterface();
    const QList<EventTypeItem*> types = *worker->GetEventTypeList(dlg.CurrentDeviceId());
    EventItem* failing = FindEvent(types, failingEvent);
    EventItem* other = FindEvent(types, otherEvent);
    QVERIFY(failing && other);
    // What the worker's next write meets: the device file is followed by the open device within a moment.
    auto switchOn = [&] { return Select(cam, types, failing) ? cam->SetEnumValue("EventNotification", on) : -1; };
    QVERIFY(w.sim.rewriteShippedDevice(device, fault));
    QTRY_COMPARE(switchOn(), -1005);
    // A try before the fault was armed may have switched the event on.
    QVERIFY(Select(cam, types, failing));
    QCOMPARE(cam->SetEnumValue("EventNotification", 0), 0);

    Click(dlg, "BtnCheckAll");
    Click(dlg, "BtnApply");
    QTRY_COMPARE(modals.nLists, 1);
    QVERIFY(modals.hints.isEmpty()); // the error list, never both
    QCOMPARE(modals.errors, QStringList{"0xfffffc13"});
    QCOMPARE(modals.listTitles, QStringList{title});
    QCOMPARE(failing->nState, 2); // the user's choice stays
    QVERIFY(!failing->bDeviceState);
    QCOMPARE(DeviceState(cam, types, failing), 0);
    QCOMPARE(DeviceState(cam, types, other), int(on));

    // The row says which event failed and why; its box stays marked with the reason until an apply is taken.
    const QString reason = failing->strDisplayNameEn + ": the device refused access";
    QVERIFY2(modals.errorTips.value(0).startsWith(reason), qPrintable(modals.errorTips.value(0)));
    auto boxOf = [&](const QString& name) {
        for (CustomCheckBox* box : CurrentPage(dlg)->findChildren<CustomCheckBox*>())
            if (box->toolTip().startsWith(name + " : "))
                return box;
        return static_cast<CustomCheckBox*>(nullptr);
    };
    QVERIFY(boxOf(failingEvent) && boxOf(otherEvent));
    QVERIFY(boxOf(failingEvent)->toolTip().contains("\nNot applied: the device refused access"));
    QVERIFY(!boxOf(otherEvent)->toolTip().contains("Not applied"));
    QVERIFY(w.sim.rewriteShippedDevice(device, QByteArray()));
    QTRY_COMPARE(switchOn(), 0);
    Click(dlg, "BtnApply");
    QTRY_COMPARE(modals.hints, QStringList{"Applied."});
    QVERIFY(!boxOf(failingEvent)->toolTip().contains("Not applied"));
}

// A standard camera's page: its one group and channel, each event with what its description says of it.
void TestApplyFlow::standardCameraPage()
{
    Window w("standard_d");
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    CheckListMainWidget* page = CurrentPage(dlg);
    QCOMPARE(page->findChild<QCheckBox*>("ChannelCheckBox")->text(), QString("All Events"));
    // The event boxes are made once the page knows its width.
    auto findExposure = [page] {
        for (QCheckBox* box : page->findChildren<QCheckBox*>())
            if (box->text() == "Exposure Start")
                return box;
        return static_cast<QCheckBox*>(nullptr);
    };
    QTRY_VERIFY(findExposure());
    QCheckBox* exposure = findExposure();
    QCOMPARE(exposure->toolTip(), QString("ExposureStart : 36871\nSent when the sensor starts an exposure."));
    QTRY_VERIFY(exposure->isVisible());

    // The one channel's name is ours, and follows the language; the camera's own names stay as they are.
    qputenv("KESTREL_CONFIG_DIR", (w.sim.root() + "/config").toLocal8Bit()); // where the choice is stored
    dlg.findChild<QAction*>("ActChinese")->trigger();
    QTRY_COMPARE(page->findChild<QCheckBox*>("ChannelCheckBox")->text(), QString("全部事件"));
    QCOMPARE(exposure->text(), QString("Exposure Start"));
    dlg.findChild<QAction*>("ActEnglish")->trigger();
    QTRY_COMPARE(page->findChild<QCheckBox*>("ChannelCheckBox")->text(), QString("All Events"));
}

void TestApplyFlow::exportThenImportRestoresTheDevice()
{
    Window w("camera_a");
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    Modals& modals = w.modals;
    modals.strFile = w.sim.root() + "/choice.ect";
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
                QCOMPARE(DeviceState(cam, types, e), i++ % 3 == 0 ? 1 : 0);

    // A file the device cannot use: LF line ends.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(written).replace("\r\n", "\n"));
    file.close();
    modals.hints.clear();
    dlg.findChild<QAction*>("ActImport")->trigger();
    QTRY_COMPARE(modals.hints, QStringList{"Failed to import."});
}

void TestApplyFlow::monitorShowsTheDevicesEvents()
{
    Window w("camera_a");
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    auto* monitor = dlg.findChild<NXEventLogWidget*>();
    QVERIFY(monitor);
    QVERIFY(monitor->isHidden()); // made hidden when the device was read
    QTest::mouseClick(dlg.findChild<QPushButton*>("BtnEventMonitor"), Qt::LeftButton);
    QVERIFY(monitor->isVisible());
    QCOMPARE(monitor->cTitleBar()->cTitleText(), QString("Event Monitor--DV-EC2040 Event Camera"));
    NXEventLogModel* model = monitor->TableView()->logModel();
    monitor->findChild<CustomCheckBox*>("ChkEventType")->click();
    QTRY_VERIFY(model->rowCount() >= 2);
    QVERIFY(model->index(0, 1).data().toString().startsWith("ExposureStart_0[ID:0x9000]"));
}

void TestApplyFlow::switchingDevicesKeepsEachPage()
{
    Window w("camera_a", QByteArray(), "sensor_c");
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    Modals& modals = w.modals;
    QCOMPARE(modals.busy, QStringList{"Connecting the device..."}); // the first device connects by itself
    QVERIFY(!CustomLoadingDialog::isLoading(0));
    CheckListMainWidget* cameraPage = CurrentPage(dlg);
    const QList<EventTypeCheckWidget*> groups = cameraPage->RightWidget()->Groups();
    QCOMPARE(groups.size(), 4);
    QVERIFY(!groups.at(3)->isHidden()); // "Diagnostic" is a Guru category
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    QSignalSpy finished(worker, &RWEventFeatureThread::SigFinishRW);

    // The sensor has no event control: an empty page.
    auto* combo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    combo->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished() && finished.count() == 1, 20000); // recorded on the worker
    QTRY_VERIFY(CurrentPage(dlg) != cameraPage);
    QVERIFY(CurrentPage(dlg)->findChild<CustomLabel*>("EmptyLabel"));
    QVERIFY(!CustomLoadingDialog::isLoading(0));
    // The user level filters every page, not only the one shown.
    auto* level = dlg.findChild<CustomComboBox*>("LevelCombo");
    level->setCurrentIndex(0);
    QVERIFY(groups.at(3)->isHidden());
    level->setCurrentIndex(1);
    QVERIFY(!groups.at(3)->isHidden());

    // Back to the camera: its page as the user left it, without a new read.
    QCheckBox* groupBox = groups.at(0)->CheckBox();
    groupBox->setCheckState(Qt::Checked);
    combo->setCurrentIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished() && finished.count() == 2, 20000); // recorded on the worker
    QCOMPARE(finished.at(1), (QList<QVariant>{finished.at(1).at(0), true, false}));
    QTRY_COMPARE(CurrentPage(dlg), cameraPage);
    QCOMPARE(groupBox->checkState(), Qt::Checked);
    QCOMPARE(modals.busy.size(), 3);
}

// The same device through two producers (ours and a copy) is listed once, through the first; the log
// says which producer was skipped.
void TestApplyFlow::oneDeviceNumberOnePage()
{
    SimFixture sim;
    QVERIFY(sim.installProducer("DoVISimulator.cti"));
    QVERIFY(sim.installProducer("DoVIMirror.cti"));
    QVERIFY(sim.addShippedDevice("camera_a"));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("Device DoVI-SIM-A-2040_\\d+ through DoVI.*\\.cti skipped: "
                                                       "already listed through DoVI.*\\.cti"));
    SaltireDlg dlg;
    dlg.show();
    auto* combo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    QCOMPARE(combo->count(), 1);
    QCOMPARE(dlg.findChild<QStackedWidget*>("EventPages")->count(), 2); // placeholder and the device
}

void TestApplyFlow::closingDuringAJob()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    Modals modals;
    {
        SaltireDlg dlg;
        dlg.show();
        QTRY_VERIFY(!modals.busy.isEmpty()); // the read of the IO controller has started (it may be over already)
        auto* worker = dlg.findChild<RWEventFeatureThread*>();
        QVERIFY(worker->isRunning() || worker->isFinished());
    } // closed while the worker reads
    {
        SaltireDlg dlg; // and while the enumeration may still run
    }
}

// A device that could not be opened at first shows "No data."; once a later read succeeds, its events.
void TestApplyFlow::deviceReadLaterShowsItsEvents()
{
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("Failed to open interface.*"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Opening .* failed.*"));
    Window w("camera_a", "[Faults]\nOpen=-1005\n", "sensor_c");
    QVERIFY(w.bInstalled);
    w.Show();
    SaltireDlg& dlg = w.dlg;
    Modals& modals = w.modals;
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    QTRY_VERIFY(!modals.busy.isEmpty()); // the first connect has started...
    QTRY_VERIFY(!CustomLoadingDialog::isLoading(0) && worker->isFinished()); // ...and failed
    QVERIFY(CurrentPage(dlg) && CurrentPage(dlg)->findChild<CustomLabel*>("EmptyLabel"));
    // "No data." says what there is; the notice says why.
    auto* why = CurrentPage(dlg)->findChild<CustomLabel*>("DeviceProblemNotice");
    QVERIFY(why && why->isVisible());
    QCOMPARE(why->text(), QString("The device is in use by another application or host. (error 0xfffffc13)"));
    QSignalSpy finished(worker, &RWEventFeatureThread::SigFinishRW);

    QVERIFY(w.sim.rewriteShippedDevice("camera_a", QByteArray())); // the camera can be opened now
    auto* combo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    combo->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished() && finished.count() == 1, 20000); // recorded on the worker
    QTRY_VERIFY(!CustomLoadingDialog::isLoading(0) && worker->isFinished());
    combo->setCurrentIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished() && finished.count() == 2, 20000); // recorded on the worker
    QCOMPARE(finished.at(1).at(2).toBool(), true);
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    QVERIFY(!CurrentPage(dlg)->RightWidget()->Groups().isEmpty());
    QVERIFY(!CurrentPage(dlg)->findChild<CustomLabel*>("DeviceProblemNotice"));
}

// Event states the device would not give show as off; the page says so, once, with the page.
void TestApplyFlow::unreadableStatesAreTold()
{
    Window w("camera_a", "[Faults]\nGetEnum1=EventNotification, EventCategory=0;ChannelSelector=1, -1005\n");
    QVERIFY(w.Connect());
    SaltireDlg& dlg = w.dlg;
    auto* notice = CurrentPage(dlg)->findChild<CustomLabel*>("ReadFailureNotice");
    QVERIFY(notice);
    QVERIFY(notice->isVisible());
    QVERIFY2(notice->text().startsWith("2 event states could not be read"), qPrintable(notice->text()));
    QVERIFY(notice->toolTip().contains("ExposureStart_1"));
    // A place of its own: the group list starts below it.
    QTRY_VERIFY(CurrentPage(dlg)->LeftWidget()->geometry().top() >= notice->geometry().bottom());
}

void TestApplyFlow::withoutADevice()
{
    QTemporaryDir dir;
    qputenv("KESTREL_COMMON_FILES_DIR", dir.filePath("none").toLocal8Bit());
    Modals modals;
    modals.strFile = dir.filePath("x.ect");
    qputenv("KESTREL_OEM_FILE", dir.filePath("missing.ini").toLocal8Bit());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not loaded"));
    QVERIFY(!NXInterface::initLog4qtConfig(dir.filePath("log4qt/log4qt_Kestrel.conf")));
    SaltireDlg dlg;
    // Without a device, its resource files, log configuration and OEM file, the window opens with its controls.
    dlg.cShowMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTRY_VERIFY(dlg.isMaximized());
    QCOMPARE(dlg.cTitleBar()->cTitleText(), QString("Gantry"));
    QVERIFY(dlg.findChild<QAction*>("ActManual")->isVisible());
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
