#pragma once

#include "eventlogrow.h"

#include <QFile>
#include <QMutex>
#include <QTableView>

#include <functional>
#include <vector>

class NXEventLogModel;
class QTimer;

// The event log table. Rows arrive from any thread into a pending list and reach the model in one batch
// per 200 ms tick on the GUI thread; with auto-save each row is also appended to the log file at once.
class NXEventLogTableView : public QTableView
{
public:
    explicit NXEventLogTableView(QWidget* parent);
    ~NXEventLogTableView() override;

    // Any thread.
    void appendEvent(const QString& strContent, const QString& strTimestamp);

    void setAutoSave(bool bOn);
    void setLogFile(const QString& strPath);
    void setRunning(bool bRunning);
    void clearLog();
    void retranslate();

    NXEventLogModel* logModel() const { return model; }
    QString logFileName() const;
    // The longest time a flush of waiting rows took on the GUI thread, for measurements.
    qint64 longestFlushNs() const { return longestFlush; }
    bool isLogFileOpen() const;
    // Called once on the GUI thread when the auto-save file stops being written (a write failed: the disk
    // is full; or the file was removed), with the reason. The rows go on; a new file gets a new chance.
    void setWriteFailureHandler(std::function<void(const QString&)> handler);
    // Called on the GUI thread after each flush of waiting rows, inside the flush's measured time.
    void setFlushHandler(std::function<void()> handler);

protected:
    void doItemsLayout() override;

private:
    void flushPending();

    bool autoSave = false;
    NXEventLogModel* model = nullptr;
    QFile logFile;
    std::vector<EventLogRow> pending;
    QMutex mutex;
    QTimer* timer = nullptr;
    qint64 longestFlush = 0;
    mutable QMutex fileMutex; // the event thread writes the file the GUI thread may close or rename
    QString writeError;       // set under fileMutex when the file stopped being written
    bool writeFailureReported = false;
    std::function<void(const QString&)> writeFailureHandler;
    std::function<void()> flushHandler;
};
