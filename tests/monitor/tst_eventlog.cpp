#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QtTest>

#include <thread>
#include <vector>

namespace {

std::vector<EventLogRow> Rows(int first, int count)
{
    std::vector<EventLogRow> rows;
    for (int i = first; i < first + count; ++i)
        rows.push_back({QString::number(i), "t", "c"});
    return rows;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestEventLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc"))); // the header's style
    }

    void capKeepsTheNewest_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("first");
        QTest::newRow("up to the cap") << 39990 << 10 << 40000 << 0;
        QTest::newRow("one over") << 40000 << 1 << 20000 << 20001;
        QTest::newRow("pending across the cap") << 39990 << 20 << 20000 << 20010;
    }
    void capKeepsTheNewest()
    {
        QFETCH(int, shown);
        QFETCH(int, added);
        QFETCH(int, rows);
        QFETCH(int, first);
        NXEventLogTableView view(nullptr);
        NXEventLogModel* model = view.logModel();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model->appendRows(Rows(0, shown));
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        for (const EventLogRow& r : Rows(shown, added))
            view.appendEvent(r.content, r.timestamp);
        QCOMPARE(model->rowCount(), shown); // pending until a flush
        view.setRunning(false);             // shows the waiting rows at once
        QCOMPARE(model->rowCount(), rows);
        QCOMPARE(model->index(0, 0).data().toString(), QString::number(first));
        QCOMPARE(model->index(rows - 1, 0).data().toString(), QString::number(shown + added - 1));
        QCOMPARE(inserted.count() + reset.count(), 1); // one change per batch
    }

    void modelShape()
    {
        NXEventLogTableView view(nullptr);
        NXEventLogModel* model = view.logModel();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->columnCount(), 3);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("Event Timestamp(sec)"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QString("System Time"));
        // Each title fits its column: nothing of it is drawn in the last pixels before the column's edge.
        view.resize(854, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QHeaderView* header = view.horizontalHeader();
        const QImage image = header->grab().toImage();
        const QColor background(QStringLiteral("#F2F3F5"));
        for (int c : {0, 2}) {
            const int right = header->sectionViewportPosition(c) + header->sectionSize(c) - 2; // before the border
            for (int x = right - 3; x <= right; ++x)
                for (int y = 2; y < image.height() - 2; ++y)
                    QVERIFY2(image.pixelColor(x, y) == background, qPrintable(QString("column %1 at %2,%3: %4").arg(c).arg(x).arg(y).arg(image.pixelColor(x, y).name())));
        }
        QVERIFY(!model->headerData(3, Qt::Horizontal).isValid());
        QVERIFY(!model->headerData(0, Qt::Vertical).isValid());
        view.appendEvent("Name[ID:0x9000] ", "1.50000000");
        view.setRunning(false);
        QCOMPARE(model->index(0, 1).data().toString(), QString("Name[ID:0x9000] "));
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3}$")
                    .match(model->index(0, 2).data().toString()).hasMatch());
        QVERIFY(!model->index(0, 0).data(Qt::EditRole).isValid());
        QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
        view.clearLog();
        QCOMPARE(model->rowCount(), 0);
    }

    void logFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("EventLog_X.txt");
        NXEventLogTableView view(nullptr);
        view.appendEvent("Lost ", "0.0"); // no file yet: the line is dropped
        view.setLogFile(path);
        QVERIFY(!view.isLogFileOpen());
        view.setAutoSave(true);
        QVERIFY(view.isLogFileOpen());
        view.appendEvent("ExposureStart_0[ID:0x9000] ", "1.50000000");
        const QByteArray first = ReadFile(path); // in the file when the call returns
        QVERIFY(QRegularExpression("^1\\.50000000 ExposureStart_0\\[ID:0x9000\\]  \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3}\r\n$")
                    .match(QString::fromLatin1(first)).hasMatch());
        view.clearLog();
        view.appendEvent("Second ", "2.0");
        QCOMPARE(ReadFile(path).count("\r\n"), 2); // cleared table, file kept and appended
        // The same name again does not reopen: an unlinked file keeps receiving the lines.
        QVERIFY(QFile::remove(path));
        view.setLogFile(path);
        view.appendEvent("Third ", "3.0");
        QVERIFY(!QFile::exists(path));
        // Another name opens that file; turning auto-save off closes it.
        view.setLogFile(dir.filePath("other.txt"));
        view.appendEvent("Fourth ", "4.0");
        QVERIFY(ReadFile(dir.filePath("other.txt")).startsWith("4.0 Fourth  "));
        view.setAutoSave(false);
        QVERIFY(!view.isLogFileOpen());
        view.appendEvent("Fifth ", "5.0");
        QCOMPARE(ReadFile(dir.filePath("other.txt")).count("\r\n"), 1);
    }

    void followsTheNewestRowOnlyAtTheBottom()
    {
        NXEventLogTableView view(nullptr);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.logModel()->appendRows(Rows(0, 200));
        QScrollBar* bar = view.verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        // Each time, once the view has laid the new rows out (its maximum grew), the bar is where it belongs.
        int before = bar->maximum();
        view.logModel()->appendRows(Rows(200, 50));
        QTRY_VERIFY(bar->maximum() > before);
        QTRY_COMPARE(bar->value(), bar->maximum());
        bar->setValue(10);
        before = bar->maximum();
        view.logModel()->appendRows(Rows(250, 50));
        QTRY_VERIFY(bar->maximum() > before);
        QCOMPARE(bar->value(), 10);
    }

    // Many event threads at once, while the GUI thread renames the file: no row and no line is lost.
    void manyThreadsAppend()
    {
        QTemporaryDir dir;
        NXEventLogTableView view(nullptr);
        view.setLogFile(dir.filePath("a.txt"));
        view.setAutoSave(true);
        view.setRunning(true);
        constexpr int kThreads = 8, kEach = 4000;
        std::vector<std::thread> threads;
        std::atomic<int> done{0};
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&view, &done, t] {
                for (int i = 0; i < kEach; ++i)
                    view.appendEvent(QString("T%1 ").arg(t), QString::number(i));
                ++done;
            });
        for (int round = 0; done < kThreads; ++round) {
            view.setLogFile(dir.filePath(round % 2 ? "a.txt" : "b.txt"));
            QCoreApplication::processEvents();
        }
        for (std::thread& t : threads)
            t.join();
        view.setRunning(false);
        QCOMPARE(view.logModel()->rowCount(), kThreads * kEach);
        view.setAutoSave(false);
        QCOMPARE(ReadFile(dir.filePath("a.txt")).count("\r\n") + ReadFile(dir.filePath("b.txt")).count("\r\n"),
                 kThreads * kEach);
    }
};

QTEST_MAIN(TestEventLog)
#include "tst_eventlog.moc"
