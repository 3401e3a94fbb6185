#include "nxeventlogtableview.h"

#include "custom.h"
#include "eventrecordtext.h"
#include "nxeventlogmodel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QMutexLocker>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

NXEventLogTableView::NXEventLogTableView(QWidget* parent)
    : QTableView(parent)
{
    model = new NXEventLogModel(this);
    model->initHeaders();
    timer = new QTimer(this);
    setModel(model);
    setColumnWidth(0, 150);
    setColumnWidth(2, 190);
    setObjectName(QStringLiteral("EventMonitorLog"));
    connect(timer, &QTimer::timeout, this, &NXEventLogTableView::flushPending);
    setStyleSheet(Custom::readFileContent(QStringLiteral(":/Kestrel/QSS/CustomTableView_ks.qss")));
    QHeaderView* pHeader = horizontalHeader();
    pHeader->setObjectName(QStringLiteral("EventMonitorLogHead"));
    pHeader->setStyleSheet(Custom::readFileContent(QStringLiteral(":/Kestrel/QSS/HorHeaderView_ks.qss")));
    pHeader->setSectionResizeMode(1, QHeaderView::Stretch);
    pHeader->setFixedHeight(38);
    pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pHeader->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameStyle(0);
    verticalHeader()->hide();
}

NXEventLogTableView::~NXEventLogTableView()
{
    QMutexLocker lock(&fileMutex);
    if (logFile.isOpen())
        logFile.close();
}

void NXEventLogTableView::appendEvent(const QString& strContent, const QString& strTimestamp)
{
    EventLogRow row;
    row.systemTime = EventRecordText::ArrivalTime();
    row.timestamp = strTimestamp;
    row.content = strContent;
    {
        QMutexLocker lock(&fileMutex);
        if (autoSave && logFile.isOpen()) {
            QTextStream stream(&logFile); // the local 8-bit encoding
            stream << row.timestamp << ' ' << row.content << ' ' << row.systemTime << "\r\n";
            stream.flush();
            if (!logFile.flush() || stream.status() != QTextStream::Ok || logFile.error() != QFileDevice::NoError) {
                // A full disk: stop writing rather than fail again on every event.
                writeError = logFile.errorString();
                logFile.close();
            }
        }
    }
    QMutexLocker lock(&mutex);
    pending.push_back(std::move(row));
}

void NXEventLogTableView::flushPending()
{
    QElapsedTimer elapsed;
    elapsed.start();
    QString strFailure;
    {
        QMutexLocker lock(&fileMutex);
        if (writeError.isEmpty() && autoSave && logFile.isOpen() && !QFileInfo::exists(logFile.fileName())) {
            writeError = QCoreApplication::translate("LogWriteNotice", "the file was removed");
            logFile.close();
        }
        if (!writeError.isEmpty() && !writeFailureReported) {
            writeFailureReported = true;
            strFailure = logFile.fileName() + QStringLiteral(": ") + writeError;
        }
    }
    if (!strFailure.isEmpty()) {
        qWarning("The event log is no longer written: %s", qUtf8Printable(strFailure));
        if (writeFailureHandler)
            writeFailureHandler(strFailure);
    }
    std::vector<EventLogRow> rows;
    {
        QMutexLocker lock(&mutex);
        rows.swap(pending);
    }
    if (!rows.empty())
        model->appendRows(std::move(rows));
    if (flushHandler)
        flushHandler();
    longestFlush = qMax(longestFlush, elapsed.nsecsElapsed());
}

void NXEventLogTableView::setRunning(bool bRunning)
{
    if (bRunning) {
        timer->start(200);
        return;
    }
    timer->stop();
    flushPending();
}

void NXEventLogTableView::clearLog()
{
    QMutexLocker lock(&mutex);
    std::vector<EventLogRow>().swap(pending);
    model->clearRows();
}

void NXEventLogTableView::setWriteFailureHandler(std::function<void(const QString&)> handler)
{
    writeFailureHandler = std::move(handler);
}

void NXEventLogTableView::setFlushHandler(std::function<void()> handler)
{
    flushHandler = std::move(handler);
}

void NXEventLogTableView::setAutoSave(bool bOn)
{
    QMutexLocker lock(&fileMutex);
    autoSave = bOn;
    writeError.clear();
    writeFailureReported = false;
    if (bOn) {
        if (!logFile.isOpen() && !logFile.fileName().isEmpty())
            logFile.open(QIODevice::WriteOnly | QIODevice::Append);
    } else if (logFile.isOpen()) {
        logFile.close();
    }
}

void NXEventLogTableView::setLogFile(const QString& strPath)
{
    QMutexLocker lock(&fileMutex);
    if (strPath == logFile.fileName())
        return;
    if (logFile.isOpen())
        logFile.close();
    writeError.clear();
    writeFailureReported = false;
    logFile.setFileName(strPath);
    if (autoSave && !strPath.isEmpty())
        logFile.open(QIODevice::WriteOnly | QIODevice::Append);
}

QString NXEventLogTableView::logFileName() const
{
    QMutexLocker lock(&fileMutex);
    return logFile.fileName();
}

bool NXEventLogTableView::isLogFileOpen() const
{
    QMutexLocker lock(&fileMutex);
    return logFile.isOpen();
}

void NXEventLogTableView::retranslate()
{
    model->initHeaders();
}

void NXEventLogTableView::doItemsLayout()
{
    QScrollBar* pBar = verticalScrollBar();
    const bool bAtBottom = pBar->value() == pBar->maximum();
    QTableView::doItemsLayout();
    if (bAtBottom)
        pBar->setValue(pBar->maximum());
}
