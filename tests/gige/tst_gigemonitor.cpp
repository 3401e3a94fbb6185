#include "nxeventlogwidget.h"

#include "customcheckbox.h"
#include "custompushbutton.h"
#include "deviceeventsink.h"
#include "fakecamera.h"
#include "gentl.h"
#include "gvcpeventsender.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "nxinterface.h"
#include "qlocalcfg.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

// The Event Monitor on a GigE Vision camera: events from the message channel, through the device-access
// library and the event registry, become log rows with their names, ids and time stamps; request ids that
// never came show as lost events in the statistics panel.
class TestGigEMonitor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    FakeCamera m_camera;
    CInterface* m_p = nullptr;
    CCamInterface* m_cam = nullptr;
    void* m_handle = nullptr;

    // Our GigE Vision producer alone, the fake camera serving the event camera's description, opened.
    bool OpenCamera(bool bMessageChannel)
    {
        const QString producers = m_home.filePath("common/Kestrel/Runtime/Linux64_x64");
        QDir().mkpath(producers);
        QFile::copy(SALTIRE_DOVIGIGE_CTI, producers + "/DoVIGigE.cti");
        qputenv("KESTREL_COMMON_FILES_DIR", m_home.filePath("common").toUtf8());
        qputenv("KESTREL_USER_DATA_DIR", m_home.filePath("user").toUtf8());
        qputenv("KESTREL_PROGRAM_DATA_DIR", m_home.filePath("programdata").toUtf8());
        QLocalCfg::Destroy();
        if (!m_camera.Start(QFINDTESTDATA("../data/gige/camera_a_gev.xml")) || !m_camera.AdvertiseEvents(bMessageChannel)
            || NXACreateInstance(NXA_CAMERA_INTERFACE, &m_p) != 0)
            return false;
        m_cam = dynamic_cast<CCamInterface*>(m_p);
        DeviceInfoList list{};
        return m_cam->EnumDevices(&list, "DoVIGigE.cti") == 0 && list.nCount == 1
               && m_cam->OpenDevice(&m_handle, list.pItems[0], NXA_ACCESS_EXCLUSIVE) == 0;
    }

private slots:
    void cleanup()
    {
        if (m_cam) {
            m_cam->RegisterEventCallback(nullptr, nullptr);
            m_cam->CloseDevice(m_handle);
            NXAReleaseInstance(m_p);
        }
        m_p = nullptr;
        m_cam = nullptr;
        m_camera.Stop();
        QLocalCfg::Destroy();
    }

    void eventsBecomeRows()
    {
        QVERIFY(OpenCamera(true));
        CCamInterface* cam = m_cam;

        QWidget parent;
        NXEventLogWidget* w = NXEventLogWidget::Instance(quint64(quintptr(cam)), true, &parent);
        QVERIFY(w);
        QCOMPARE(cam->RegisterEventCallback(
                     [](EventRecord* r, void* user) { DeviceEventRegistry::Dispatch(quint64(quintptr(user)), r); }, cam),
                 0);
        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(true);
        GvcpEventSender sender;
        QVERIFY(sender.ReadChannel());
        QVERIFY(sender.HostPort() != 0);
        const uint16_t id = sender.SendEvents({{0x9000, 0xFFFF, 0, 1500000000ULL, {}}, {0x1234, 0xFFFF, 0, 2500000000ULL, {}}});
        QVERIFY(sender.WaitAck(id, 2000));
        NXEventLogModel* model = w->TableView()->logModel();
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 2, 10000);
        QCOMPARE(model->index(0, 0).data().toString(), QString("1.50000000"));
        QCOMPARE(model->index(0, 1).data().toString(), QString("ExposureStart_0[ID:0x9000] "));
        QCOMPARE(model->index(1, 0).data().toString(), QString("2.50000000"));
        QCOMPARE(model->index(1, 1).data().toString(), QString("0x1234[ID:0x1234] "));

        w->show();
        QTest::mouseClick(w->findChild<CustomPushButton*>("BtnStatistics"), Qt::LeftButton);
        auto* lostLine = w->findChild<QLabel*>("LostEventsLine");
        QVERIFY(!lostLine->isVisible());
        sender.SetNextRequestId(uint16_t(sender.NextRequestId() + 3));
        QVERIFY(sender.WaitAck(sender.SendEvents({{0x9000, 0xFFFF, 0, 3500000000ULL, {}}}), 2000));
        QTRY_VERIFY(lostLine->isVisible());
        QVERIFY2(lostLine->text().contains(": 3 "), qPrintable(lostLine->text()));

        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(false);
        cam->RegisterEventCallback(nullptr, nullptr);
        delete w;
    }

    // A camera without a message channel: the producer refuses its events, and the window says so.
    void refusedEventsAreSaid()
    {
        QVERIFY(OpenCamera(false));
        QCOMPARE(m_cam->RegisterEventCallback([](EventRecord*, void*) {}, m_cam), int(GC_ERR_NOT_AVAILABLE));
        NXADeviceStatus status{};
        QCOMPARE(NXAGetDeviceStatus(m_cam, &status), 0);
        QCOMPARE(status.nEventsRefused, int32_t(GC_ERR_NOT_AVAILABLE));
        GvcpEventSender sender; // the camera's channel was left closed
        QVERIFY(sender.ReadChannel());
        QCOMPARE(sender.HostPort(), uint16_t(0));
        QWidget parent;
        NXEventLogWidget* w = NXEventLogWidget::Instance(quint64(quintptr(m_cam)), true, &parent);
        w->show();
        auto* notice = w->findChild<QLabel*>("LogWriteNotice");
        QTRY_VERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QString("This device cannot send events: its producer refused them (error 0xfffffc0a)."));
        delete w;
    }
};

QTEST_MAIN(TestGigEMonitor)
#include "tst_gigemonitor.moc"
