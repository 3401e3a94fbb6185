#include "notificationreadfailures.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace NotificationReadFailures {

namespace {
QMutex g_mutex;
QHash<int, QStringList> g_failures;
} // namespace

void Clear(int nDeviceNumber)
{
    QMutexLocker lock(&g_mutex);
    g_failures.remove(nDeviceNumber);
}

void Add(int nDeviceNumber, const QString& strEvent)
{
    QMutexLocker lock(&g_mutex);
    g_failures[nDeviceNumber].append(strEvent);
}

QStringList List(int nDeviceNumber)
{
    QMutexLocker lock(&g_mutex);
    return g_failures.value(nDeviceNumber);
}

} // namespace NotificationReadFailures
