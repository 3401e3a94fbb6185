#include "nxeventlogwidget.h"

#include "nxinterface.h"

#include "custom.h"
#include "customcheckbox.h"
#include "customfolderselectwidget.h"
#include "custompushbutton.h"
#include "customsavedonehintdlg.h"
#include "eventstatistics.h"
#include "eventstatisticsmodel.h"
#include "eventstatisticspanel.h"
#include "eventstattext.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "qlocalcfg.h"
#include "ratechart.h"
#include "simfixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTableView>
#include <QTranslator>
#include <QtTest>

#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

namespace {

// A chart's line of a kind of event, by its title; null when it has none.
QwtPlotCurve* Curve(QwtPlot* chart, const QString& title)
{
    for (QwtPlotItem* item : chart->itemList(QwtPlotItem::Rtti_PlotCurve))
        if (item->title().text() == title)
            return static_cast<QwtPlotCurve*>(item);
    return nullptr;
}

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
    void initTestCase()
    {
        // The window's styles, as the tool loads them: sizes and places depend on them.
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc")));
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc")));
    }
    void cleanupTestCase()
    {
        QResource::unregisterResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc"));
        QResource::unregisterResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc"));
    }

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
        SimDevice dev(id);
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
        QVERIFY(sim.install("camera_a"));
        QLocalCfg::Instance()->SetEventAutoSave(true);
        QLocalCfg::Destroy();
        SimDevice dev("DoVI-SIM-A-2040");
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
        dev.cam->RegisterEventCallback(nullptr, nullptr); // no event is half-way through the window after this
        w->findChild<CustomCheckBox*>("ChkEventType")->setChecked(false); // flushes every row whose line was written
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
        SimDevice dev;
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

    // The statistics panel, opened by the user, follows events fed from another thread; the chart's
    // lines hide from the legend; "Export statistics..." writes what the table shows; "Clear Log" starts over.
    void statisticsPanel()
    {
        SimDevice dev; // no time-stamp frequency: 1 GHz
        QWidget parent;
        NXEventLogWidget* w = NXEventLogWidget::Instance(dev.key(), true, &parent);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        EventStatisticsPanel* panel = w->StatisticsPanel();
        std::atomic<quint64> lost{0};
        panel->SetStatusSource([&](NXADeviceStatus& s) { s.nLost = lost; return true; });
        QVERIFY(!panel->isVisible());
        QCOMPARE(w->size(), QSize(854, 550));
        QTest::mouseClick(w->findChild<CustomCheckBox*>("ChkEventType"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        auto* button = w->findChild<CustomPushButton*>("BtnStatistics");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->Chart()); // made as the panel opened, its module loaded
        QCOMPARE(w->width(), 854);
        // Open, the window fits the screen (here a low one) and the user may resize it; nothing is drawn over
        // anything: the log, the table, the export button and the chart lie one below the other.
        QVERIFY(w->minimumHeight() < w->maximumHeight());
        const QRect screen = w->screen()->availableGeometry(); // 800 x 600 offscreen: narrower than the window
        QVERIFY(w->geometry().top() >= screen.top() && w->geometry().bottom() <= screen.bottom());
        auto below = [w](QWidget* a, QWidget* b) {
            return a->mapTo(w, QPoint(0, a->height())).y() <= b->mapTo(w, QPoint(0, 0)).y();
        };
        QTRY_VERIFY(below(w->TableView(), panel) && below(w->findChild<QTableView*>("EventStatisticsTable"),
                                                          w->findChild<CustomPushButton*>("BtnExportStatistics"))
                    && below(w->findChild<CustomPushButton*>("BtnExportStatistics"), panel->Chart()->widget()));
        QVERIFY(w->rect().contains(panel->mapTo(w, QPoint(0, panel->height() - 1)))); // all of it shows

        // Two kinds of known events, then a third kind on and on while the panel refreshes.
        std::atomic<bool> stop{false};
        std::thread feeder([w, &stop] {
            for (quint64 k = 0; k < 50; ++k) {
                EventRecord a = Record("ExposureStart", 0x9000, (k < 20 ? k : k + 1) * 1000000); // one missing
                w->OnEvent(&a);
                if (k % 5 == 0) {
                    EventRecord b = Record("FrameTrigger", 0x9001, k * 1000000);
                    w->OnEvent(&b);
                }
            }
            for (quint64 k = 0; !stop; ++k) {
                EventRecord c = Record("Heartbeat", 0x9002, k * 1000000);
                w->OnEvent(&c);
                std::this_thread::yield();
            }
        });
        EventStatisticsModel* model = panel->Model();
        QTRY_COMPARE(model->rowCount(), 3);
        // The heartbeat is asserted below to have come most often: wait until it has.
        QTRY_VERIFY(model->index(2, EventStatText::ColCount).data().toString().toULongLong() > 50);
        stop = true;
        feeder.join();
        QCOMPARE(model->index(0, EventStatText::ColCount).data().toString(), QString("50"));
        // The suspected misses are worked out anew at most once a second.
        QTRY_COMPARE(model->index(0, EventStatText::ColSuspectedMissed).data().toString(), QString("1"));
        QCOMPARE(model->index(1, EventStatText::ColMinInterval).data().toString(), QString("5.000"));
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        // Sorted by count, highest first, from the header (the heartbeat came most often).
        auto* table = w->findChild<QTableView*>("EventStatisticsTable");
        QHeaderView* header = table->horizontalHeader();
        const QPoint countHeader(header->sectionViewportPosition(EventStatText::ColCount) + 5, 5);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, countHeader);
        if (header->sortIndicatorOrder() == Qt::AscendingOrder)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, countHeader);
        // The sort arrow lies beside the title, not over it.
        QStyleOptionHeader option;
        option.initFrom(header);
        option.rect = QRect(0, 0, header->sectionSize(EventStatText::ColCount), header->height());
        option.sortIndicator = QStyleOptionHeader::SortDown;
        option.text = EventStatText::Header(EventStatText::ColCount);
        const QRect arrow = header->style()->subElementRect(QStyle::SE_HeaderArrow, &option, header);
        QFont titleFont = header->font();
        titleFont.setPixelSize(11);
        titleFont.setBold(true);
        const int nTitleEnd = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).left()
                              + QFontMetrics(titleFont).horizontalAdvance(option.text);
        QVERIFY2(arrow.left() >= nTitleEnd, qPrintable(QString("%1 < %2").arg(arrow.left()).arg(nTitleEnd)));
        QCOMPARE(table->model()->index(1, EventStatText::ColName).data().toString(), QString("ExposureStart[ID:0x9000]"));
        QCOMPARE(table->model()->index(2, EventStatText::ColName).data().toString(), QString("FrameTrigger[ID:0x9001]"));

        auto* chart = qobject_cast<QwtPlot*>(panel->Chart()->widget());
        QVERIFY(chart);
        QTRY_COMPARE(chart->itemList(QwtPlotItem::Rtti_PlotCurve).size(), 3);
        QwtPlotCurve* curve = Curve(chart, "ExposureStart[ID:0x9000]");
        QVERIFY(curve && curve->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(curve->dataSize() > 0, 5000); // once a whole second has passed
        QCOMPARE(curve->sample(int(curve->dataSize()) - 1).x(), 0.0);
        QCOMPARE(chart->axisScaleDiv(QwtPlot::yLeft).lowerBound(), 0.0); // rates stand above the axis

        // Many new kinds at once come into a chart over a few updates: at least one, at most 16 each.
        QString noModule;
        std::unique_ptr<RateChart> many(RateChart::create(nullptr, &noModule));
        QVERIFY2(many, qPrintable(noModule));
        EventStatisticsSnapshot kinds;
        for (int k = 0; k < 40; ++k) {
            EventStatRow row;
            row.strName = QString("Kind%1").arg(k);
            row.nId = quint16(k);
            row.rateHistory = {1.0};
            kinds.rows << row;
        }
        for (int nShown = 0; nShown < 40;) {
            many->setSnapshot(kinds);
            const int nNow = many->lineCount();
            QVERIFY2(nNow > nShown && nNow - nShown <= 16, qPrintable(QString("%1 after %2").arg(nNow).arg(nShown)));
            nShown = nNow;
        }
        auto* legend = qobject_cast<QwtLegend*>(chart->legend());
        QVERIFY(legend);
        QTest::mouseClick(legend->legendWidget(chart->itemToInfo(curve)), Qt::LeftButton);
        QVERIFY(!curve->isVisible());
        QVERIFY(Curve(chart, "FrameTrigger[ID:0x9001]")->isVisible());

        auto* lostLine = w->findChild<QLabel*>("LostEventsLine");
        QVERIFY(!lostLine->isVisible());
        lost = 7;
        QTRY_VERIFY(lostLine->isVisible());
        QVERIFY(lostLine->text().contains("7"));

        // Export: the bytes of the table; a folder that is not there gives a message and no file.
        QString shown;
        int nDone = 0;
        Custom::setModalHandler([&](QWidget* box) {
            if (auto* done = qobject_cast<CustomSaveDoneHintDlg*>(box)) {
                ++nDone;
                done->accept();
                return;
            }
            shown = box->findChild<QLabel*>("cMessageText")->text();
            QTest::mouseClick(box->findChild<QPushButton*>("cMessageOk"), Qt::LeftButton);
        });
        QString target = m_home.path() + "/stats.csv";
        Custom::setFileDialogHandler([&](const FileDialogRequest& r) {
            // Proposed in the tool's data folder, as the event configuration's export does.
            return r.strFileName.startsWith("EventStatistics_") && r.strFileName.endsWith(".csv")
                           && r.strDir == NXInterface::userDataPath() + "/Data/Saltire"
                       ? target
                       : QString();
        });
        auto* exportButton = w->findChild<CustomPushButton*>("BtnExportStatistics");
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), EventStatText::Csv(model->snapshot()));
        QVERIFY(shown.isEmpty());
        QCOMPARE(nDone, 1); // "File exported."
        target = m_home.path() + "/no such folder/stats.csv";
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("The event statistics could not be written to .*"));
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QVERIFY(shown.contains(target));
        QVERIFY(!QFile::exists(target));

        // Clearing the log clears the statistics, the chart and the lost count.
        QTest::mouseClick(w->findChild<CustomPushButton*>("BtnClearLog"), Qt::LeftButton);
        Custom::setModalHandler(nullptr);
        Custom::setFileDialogHandler(nullptr);
        QCOMPARE(w->TableView()->logModel()->rowCount(), 0);
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(chart->itemList(QwtPlotItem::Rtti_PlotCurve).size(), 0);
        QVERIFY(!lostLine->isVisible());

        // The panel's texts follow the language, also the column titles the exported file takes.
        QTranslator chinese;
        QVERIFY(chinese.load(SALTIRE_RUNTIME_DIR "/translation/Saltire_zh.qm"));
        QCoreApplication::installTranslator(&chinese);
        QTRY_COMPARE(button->text(), QString::fromUtf8("统计"));
        QCOMPARE(EventStatText::Header(EventStatText::ColSuspectedMissed), QString::fromUtf8("疑似丢失"));
        QCoreApplication::removeTranslator(&chinese);
        QTRY_COMPARE(button->text(), QString("Statistics"));

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!panel->isVisible());
        QCOMPARE(w->size(), QSize(854, 550));
        QCOMPARE(w->minimumSize(), w->maximumSize()); // fixed again
        QCOMPARE(w->TableView()->height(), 398);
        QTest::mouseClick(w->findChild<CustomCheckBox*>("ChkEventType"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        delete w;
    }

    // Without the chart's module the panel opens with a line that says why there is no chart, and its table
    // goes on. Run from a copy of this test in a folder with no lib/ beside it.
    void chartWithoutItsModule()
    {
        if (!qEnvironmentVariableIsSet("SALTIRE_TEST_NO_LIB_FOLDER")) {
            // Beside this test in the build folder, where programs may run.
            QTemporaryDir dir(QCoreApplication::applicationDirPath() + "/no-lib-XXXXXX");
            QVERIFY(dir.isValid());
            const QString copy = dir.filePath("bin/tst_monitor");
            QVERIFY(QDir().mkpath(dir.filePath("bin")) && QFile::copy(QCoreApplication::applicationFilePath(), copy));
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("SALTIRE_TEST_NO_LIB_FOLDER", "1");
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(copy, {"chartWithoutItsModule"});
            const bool bEnded = child.waitForFinished(60000);
            const QByteArray output = child.readAll();
            QVERIFY2(bEnded && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
            return;
        }
        QVERIFY(!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/../lib")); // run as above
        QWidget window;
        EventStatistics statistics;
        EventStatisticsPanel panel(&statistics, nullptr, &window);
        window.show();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("The rate chart cannot be shown: .*SaltireRateChart.*"));
        panel.Button()->click();
        QVERIFY(!panel.Chart());
        auto* line = panel.findChild<QLabel*>("NoChartLine");
        QVERIFY(line && line->isVisible());
        QVERIFY2(line->text().startsWith("The chart cannot be shown: ") && line->text().contains("SaltireRateChart"),
                 qPrintable(line->text()));
        EventRecord record = Record("ExposureStart", 0x9000, 1000);
        statistics.Add(record, 1000000000);
        panel.Refresh();
        QCOMPARE(panel.Model()->rowCount(), 1);
    }

    // Between refreshes with fresh medians the suspected misses may lag; they catch up within the second
    // even when no refresh follows, as when logging stops.
    void suspectedMissesCatchUp()
    {
        QWidget window;
        EventStatistics statistics;
        EventStatisticsPanel panel(&statistics, nullptr, &window);
        window.show();
        quint64 ms = 0;
        auto feed = [&](int gapAt) { // 50 events 10 ms apart on a 1 kHz clock, one missing at gapAt
            for (int k = 0; k < 50; ++k) {
                ms += k == gapAt ? 20 : 10;
                statistics.Add(0x9000, QByteArray("ExposureStart"), ms, 1000, qint64(ms));
            }
        };
        feed(-1);
        panel.Button()->click(); // opened: all fresh
        auto missed = [&] { return panel.Model()->index(0, EventStatText::ColSuspectedMissed).data().toString(); };
        QCOMPARE(missed(), QString("0"));
        feed(25);
        panel.Refresh(); // the count now, the misses as last worked out (see tst_eventstatistics)
        QTRY_COMPARE(missed(), QString("1"));
    }
};

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
