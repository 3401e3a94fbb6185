#include "saltiredlg.h"

#include "checklistleftwidget.h"
#include "checklistmainwidget.h"
#include "checklistrightwidget.h"
#include "custom.h"
#include "customcheckbox.h"
#include "customcombobox.h"
#include "customlabel.h"
#include "customloadingdialog.h"
#include "eventtypecheckwidget.h"
#include "rweventfeaturethread.h"
#include "simfixture.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "nxeventlogwidget.h"
#include "customtitlebar.h"

#include <QPushButton>

#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

namespace {

struct BusyLog {
    QStringList texts;
    BusyLog()
    {
        Custom::setModalHandler([this](QWidget* w) {
            if (qobject_cast<CustomLoadingDialog*>(w))
                texts << CustomLoadingDialog::loadingText(0);
        });
    }
    ~BusyLog() { Custom::setModalHandler(nullptr); }
};

CheckListMainWidget* CurrentPage(SaltireDlg& dlg)
{
    return qobject_cast<CheckListMainWidget*>(dlg.findChild<QStackedWidget*>("EventPages")->currentWidget());
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void firstDeviceConnectsByItself();
    void switchingDevicesKeepsEachPage();
    void oneDeviceNumberOnePage();
    void levelFiltersEveryPage();
    void monitorShowsTheDevicesEvents();
    void closingDuringAJob();
    void deviceReadLaterShowsItsEvents();
    void unreadableStatesAreTold();
};

void TestConnection::monitorShowsTheDevicesEvents()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    SaltireDlg dlg;
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    auto* monitor = dlg.findChild<NXEventLogWidget*>();
    QVERIFY(monitor);
    QVERIFY(monitor->isHidden()); // made hidden when the device was read
    QTest::mouseClick(dlg.findChild<QPushButton*>("BtnEventMonitor"), Qt::LeftButton);
    QVERIFY(monitor->isVisible());
    QCOMPARE(monitor->cTitleBar()->cTitleText(), QString("Event Monitor--DV-EC2040 Event Camera"));
    NXEventLogModel* model = monitor->TableView()->logModel();
    QTest::qWait(400); // the camera sends ExposureStart_0 at 5 Hz: nothing is logged while unchecked
    QCOMPARE(model->rowCount(), 0);
    monitor->findChild<CustomCheckBox*>("ChkEventType")->click();
    QTRY_VERIFY(model->rowCount() >= 2);
    QVERIFY(model->index(0, 1).data().toString().startsWith("ExposureStart_0[ID:0x9000]"));
}

void TestConnection::firstDeviceConnectsByItself()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    BusyLog busy;
    SaltireDlg dlg;
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    QCOMPARE(busy.texts, QStringList{"Connecting the device..."});
    QVERIFY(!CustomLoadingDialog::isLoading(0));
    QCOMPARE(CurrentPage(dlg)->RightWidget()->Groups().size(), 4);
}

void TestConnection::switchingDevicesKeepsEachPage()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    QVERIFY(sim.addShippedDevice("sensor_c"));
    BusyLog busy;
    SaltireDlg dlg;
    dlg.resize(1100, 760);
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    CheckListMainWidget* cameraPage = CurrentPage(dlg);
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    QSignalSpy finished(worker, &RWEventFeatureThread::SigFinishRW);

    // The sensor has no event control: an empty page.
    auto* combo = dlg.findChild<CustomComboBox*>("DeviceCombo");
    combo->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished() && finished.count() == 1, 20000); // recorded on the worker
    QTRY_VERIFY(CurrentPage(dlg) != cameraPage);
    QVERIFY(CurrentPage(dlg)->findChild<CustomLabel*>("EmptyLabel"));
    QVERIFY(!CustomLoadingDialog::isLoading(0));

    // Back to the camera: its page as the user left it, without a new read.
    QCheckBox* groupBox = cameraPage->RightWidget()->Groups().at(0)->CheckBox();
    groupBox->setCheckState(Qt::Checked);
    combo->setCurrentIndex(0);
    QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished() && finished.count() == 2, 20000); // recorded on the worker
    QCOMPARE(finished.at(1), (QList<QVariant>{finished.at(1).at(0), true, false}));
    QTRY_COMPARE(CurrentPage(dlg), cameraPage);
    QCOMPARE(groupBox->checkState(), Qt::Checked);
    QCOMPARE(busy.texts.size(), 3);
}

// The same device through two producers (ours and a copy) is listed once, through the first; the log
// says which producer was skipped.
void TestConnection::oneDeviceNumberOnePage()
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

void TestConnection::levelFiltersEveryPage()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a"));
    SaltireDlg dlg;
    dlg.resize(1100, 760);
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    const QList<EventTypeCheckWidget*> groups = CurrentPage(dlg)->RightWidget()->Groups();
    QVERIFY(!groups.at(3)->isHidden()); // "Diagnostic" is a Guru category
    auto* level = dlg.findChild<CustomComboBox*>("LevelCombo");
    level->setCurrentIndex(0);
    QVERIFY(groups.at(3)->isHidden());
    level->setCurrentIndex(1);
    QVERIFY(!groups.at(3)->isHidden());
}

void TestConnection::closingDuringAJob()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_b"));
    BusyLog busy;
    {
        SaltireDlg dlg;
        dlg.show();
        QTRY_VERIFY(!busy.texts.isEmpty()); // the read of the IO controller has started (it may be over already)
        auto* worker = dlg.findChild<RWEventFeatureThread*>();
        QVERIFY(worker->isRunning() || worker->isFinished());
    } // closed while the worker reads
    {
        SaltireDlg dlg; // and while the enumeration may still run
    }
}

// A device that could not be opened at first shows "No data."; once a later read succeeds, its events.
void TestConnection::deviceReadLaterShowsItsEvents()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a", "[Faults]\nOpen=-1005\n"));
    QVERIFY(sim.addShippedDevice("sensor_c"));
    BusyLog busy;
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("Failed to open interface.*"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Opening .* failed.*"));
    SaltireDlg dlg;
    dlg.resize(1100, 760);
    dlg.show();
    auto* worker = dlg.findChild<RWEventFeatureThread*>();
    QTRY_VERIFY(!busy.texts.isEmpty()); // the first connect has started...
    QTRY_VERIFY(!CustomLoadingDialog::isLoading(0) && worker->isFinished()); // ...and failed
    QVERIFY(CurrentPage(dlg) && CurrentPage(dlg)->findChild<CustomLabel*>("EmptyLabel"));
    // "No data." says what there is; the notice says why.
    auto* why = CurrentPage(dlg)->findChild<CustomLabel*>("DeviceProblemNotice");
    QVERIFY(why && why->isVisible());
    QCOMPARE(why->text(), QString("The device is in use by another application or host. (error 0xfffffc13)"));
    QSignalSpy finished(worker, &RWEventFeatureThread::SigFinishRW);

    QVERIFY(sim.rewriteShippedDevice("camera_a", QByteArray())); // the camera can be opened now
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
void TestConnection::unreadableStatesAreTold()
{
    SimFixture sim;
    QVERIFY(sim.install("camera_a", "[Faults]\nGetEnum1=EventNotification, EventCategory=0;ChannelSelector=1, -1005\n"));
    SaltireDlg dlg;
    dlg.resize(1100, 760);
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(CurrentPage(dlg) && CurrentPage(dlg)->RightWidget(), 20000);
    auto* notice = CurrentPage(dlg)->findChild<CustomLabel*>("ReadFailureNotice");
    QVERIFY(notice);
    QVERIFY(notice->isVisible());
    QVERIFY2(notice->text().startsWith("2 event states could not be read"), qPrintable(notice->text()));
    QVERIFY(notice->toolTip().contains("ExposureStart_1"));
    // A place of its own: the group list starts below it.
    QTRY_VERIFY(CurrentPage(dlg)->LeftWidget()->geometry().top() >= notice->geometry().bottom());
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
