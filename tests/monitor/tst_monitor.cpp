#include "nxeventlogwidget.h"

#include "nxinterface.h"

#include "customcheckbox.h"
#include "customfolderselectwidget.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "qlocalcfg.h"
#include "simfixture.h"

#include <QLabel>
#include <QtTest>

#include <cstring>

namespace {

// An open simulated device on its own instance.
struct Device {
    CCamInterface* cam = nullptr;
    void* handle = nullptr;
    DeviceInfo record{};
    explicit Device(const QByteArray& id)
    {
        CInterface* p = nullptr;
        NXACreateInstance(NXA_CAMERA_INTERFACE, &p);
        cam = dynamic_cast<CCamInterface*>(p);
        if (!id.isEmpty() && SimFixture::FindRecord(id, 0, record))
            cam->OpenDevice(&handle, &record, NXA_ACCESS_EXCLUSIVE);
    }
    ~Device()
    {
        if (handle)
            cam->CloseDevice(handle);
        NXAReleaseInstance(cam);
    }
    quint64 key() const { return quint64(quintptr(cam)); }
};

EventRecord Record(const char* name, quint16 id, quint64 ticks)
{
    EventRecord r;
    std::memset(&r, 0, sizeof r);
    std::strncpy(r.szEventName, name, sizeof r.szEventName - 1);
    r.nEventId = id;
    r.nTimestampHigh = quint32(ticks >> 32);
    r.nTimestampLow = quint32(ticks & 0xffffffffu);
    return r;
}

QString Cell(NXEventLogWidget* w, int row, int column)
{
    NXEventLogModel* m = w->TableView()->logModel();
    return m->index(row < 0 ? m->rowCount() + row : row, column).data().toString();
}

} // namespace

class TestMonitor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

private slots:
    void init()
    {
        qputenv("KESTREL_USER_DATA_DIR", (m_home.path() + "/user").toUtf8());
        qputenv("KESTREL_PROGRAM_DATA_DIR", (m_home.path() + "/programdata").toUtf8());
        QLocalCfg::Destroy();
        QFile::remove(NXInterface::programDataPath() + "/LocalConfig.ini");
    }

    void timeStampsAndNames_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<quint64>("ticks");
        QTest::addColumn<QString>("seconds");
        QTest::newRow("GigE tick frequency") << "camera_a" << QByteArray("DoVI-SIM-A-2040") << quint64(1500000000)
                                             << "1.50000000";
        QTest::newRow("device tick frequency") << "camera_b" << QByteArray("DoVI-SIM-B-8000") << quint64(250000000)
                                               << "2.00000000";
        QTest::newRow("only the increment") << "sensor_c" << QByteArray("DoVI-SIM-C-0100") << quint64(1500000)
                                            << "1.50000000";
        QTest::newRow("none of the three") << "" << QByteArray() << quint64(3) << "0.00000000";
    }
    void timeStampsAndNames()
    {
        QFETCH(QString, device);
        QFETCH(QByteArray, id);
        QFETCH(quint64, ticks);
        QFETCH(QString, seconds);
        SimFixture sim;
        QVERIFY(sim.installProducer());
        if (!device.isEmpty())
            QVERIFY(sim.addShippedDevice(device));
        Device dev(id);
        QWidget parent;
        NXEventLogWidget* w = NXEventLogWidget::Instance(dev.key(), true, &parent);
        QVERIFY(w);
        QCOMPARE(NXEventLogWidget::Instance(dev.key(), true, &parent), w);
        EventRecord r = Record("ExposureStart_0", 0x9000, ticks);
        w->OnEvent(&r); // not logging yet
        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(true);
        w->OnEvent(&r);
        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(false); // shows the waiting row at once
        QCOMPARE(w->TableView()->logModel()->rowCount(), 1);
        QCOMPARE(Cell(w, 0, 0), seconds);
        QCOMPARE(Cell(w, 0, 1), QString("ExposureStart_0[ID:0x9000] "));
        delete w;
        QVERIFY(!NXEventLogWidget::Instance(dev.key(), false, nullptr));
    }

    void windowsCascade()
    {
        QWidget parent;
        QList<NXEventLogWidget*> windows;
        for (quint64 key = 1; key <= 3; ++key) {
            windows << NXEventLogWidget::Instance(key, true, &parent);
            windows.last()->move(100, 100);
            NXEventLogWidget::ShowMonitor(key);
        }
        QCOMPARE(windows.at(1)->pos() - windows.at(0)->pos(), QPoint(20, 20));
        QCOMPARE(windows.at(2)->pos() - windows.at(0)->pos(), QPoint(40, 40));
        windows.at(0)->close(); // closing only hides
        QVERIFY(windows.at(0)->isHidden());
        QCOMPARE(NXEventLogWidget::Instance(1, false, nullptr), windows.at(0));
        NXEventLogWidget::ShowMonitor(99); // no window: nothing
        qDeleteAll(windows);
    }

    void autoSaveStoredOn()
    {
        SimFixture sim;
        QVERIFY(sim.installProducer());
        QVERIFY(sim.addShippedDevice("camera_a"));
        QLocalCfg::Instance()->SetEventAutoSave(true);
        QLocalCfg::Destroy();
        Device dev("DoVI-SIM-A-2040");
        QWidget parent;
        NXEventLogWidget* w = NXEventLogWidget::Instance(dev.key(), true, &parent);
        QVERIFY(w->findChild<CustomCheckBox*>("ChkAutoSave")->isChecked());
        QVERIFY(!w->findChild<CustomFolderSelectWidget*>("LogFolderSelect")->isEnabled());
        QVERIFY(!w->TableView()->isLogFileOpen()); // no detail text yet
        w->SetDeviceInfo(dev.record);
        const QString path = NXInterface::userDataPath() + "/EventLog_SA2040001.txt";
        QCOMPARE(w->TableView()->logFileName(), path);
        QVERIFY(w->TableView()->isLogFileOpen());
        // Real events of the camera, through the registry, while the box is checked.
        QCOMPARE(dev.cam->RegisterEventCallback(
                     [](EventRecord* r, void* user) { DeviceEventRegistry::Dispatch(quint64(quintptr(user)), r); }, dev.cam),
                 0);
        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(w->TableView()->logModel()->rowCount() >= 2, 10000);
        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(false);
        dev.cam->RegisterEventCallback(nullptr, nullptr);
        const int rows = w->TableView()->logModel()->rowCount();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size() - 1, rows); // line for line
        QVERIFY(lines.at(0).contains(" ExposureStart_0[ID:0x9000]  "));
        QCOMPARE(QString::fromLatin1(lines.at(0).left(lines.at(0).indexOf(' '))), Cell(w, 0, 0));
        delete w;
    }

    // The auto-save file stops being written (a full disk, a removed file): the window says so once,
    // and rows keep coming.
    void logWriteFailures_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("disk full") << "full";
        QTest::newRow("file removed") << "removed";
    }
    void logWriteFailures()
    {
        QFETCH(QString, failure);
        Device dev{QByteArray()};
        QWidget parent;
        NXEventLogWidget* w = NXEventLogWidget::Instance(dev.key(), true, &parent);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* notice = w->findChild<QLabel*>("LogWriteNotice");
        QVERIFY(notice);
        QVERIFY(!notice->isVisible());
        const QString path = failure == "full" ? QStringLiteral("/dev/full") : m_home.path() + "/log.txt";
        w->TableView()->setLogFile(path);
        auto* autoSave = w->findChild<CustomCheckBox*>("ChkAutoSave");
        if (!autoSave->isChecked())
            QTest::mouseClick(autoSave, Qt::LeftButton, Qt::NoModifier, QPoint(5, autoSave->height() / 2));
        QVERIFY(autoSave->isChecked());
        QVERIFY(w->TableView()->isLogFileOpen());
        QTest::mouseClick(w->findChild<CustomCheckBox*>("ChkEventType"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        EventRecord r = Record("ExposureStart_0", 0x9000, 1000);
        w->OnEvent(&r);
        if (failure == "removed") {
            QTRY_COMPARE(w->TableView()->logModel()->rowCount(), 1);
            QVERIFY(QFile::remove(path));
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("The event log is no longer written: .*"));
        QTRY_VERIFY(notice->isVisible());
        QVERIFY(notice->text().contains(path));
        for (int i = 0; i < 3; ++i)
            w->OnEvent(&r);
        QTRY_COMPARE(w->TableView()->logModel()->rowCount(), 4); // the rows go on
        QVERIFY(!w->TableView()->isLogFileOpen());
        QTest::mouseClick(w->findChild<CustomCheckBox*>("ChkEventType"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        delete w;
    }
};

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
