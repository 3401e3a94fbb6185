#pragma once

#include <QString>

// One logged event.
struct EventLogRow {
    QString timestamp;  // device time stamp in seconds
    QString systemTime; // arrival, "yyyy-MM-dd HH:mm:ss:zzz"
    QString content;    // name and id
};
