#include "deviceproblems.h"

#include "gentl.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace DeviceProblems {

namespace {
QMutex g_mutex;
QHash<int, Problem> g_problems;

QString Hex(int nCode)
{
    return QStringLiteral("0x%1").arg(quint32(nCode), 8, 16, QLatin1Char('0'));
}
} // namespace

void Clear(int nDeviceNumber)
{
    QMutexLocker lock(&g_mutex);
    g_problems.remove(nDeviceNumber);
}

void Set(int nDeviceNumber, Kind kind, int nCode)
{
    QMutexLocker lock(&g_mutex);
    g_problems.insert(nDeviceNumber, Problem{kind, nCode});
}

Problem Get(int nDeviceNumber)
{
    QMutexLocker lock(&g_mutex);
    return g_problems.value(nDeviceNumber);
}

Kind OpenFailure(int nCode)
{
    switch (nCode) {
    case GC_ERR_RESOURCE_IN_USE:
    case GC_ERR_ACCESS_DENIED:
    case GC_ERR_BUSY: return InUse;
    case GC_ERR_TIMEOUT:
    case GC_ERR_IO:
    case GC_ERR_INVALID_ID: return Unreachable; // gone from the producer's list since it was found
    default: return OpenFailed;
    }
}

QString Text(const Problem& problem)
{
    QString strText;
    switch (problem.kind) {
    case None: return QString();
    case InUse: strText = QCoreApplication::translate("DeviceProblems", "The device is in use by another application or host."); break;
    case Unreachable: strText = QCoreApplication::translate("DeviceProblems", "The device cannot be reached: is it powered and connected?"); break;
    case OpenFailed: strText = QCoreApplication::translate("DeviceProblems", "The device could not be opened."); break;
    case Lost: strText = QCoreApplication::translate("DeviceProblems", "The device stopped answering while it was read: is it still powered and connected?"); break;
    case DescriptionUnusable: strText = QCoreApplication::translate("DeviceProblems", "The device's description of its features could not be used."); break;
    case Refused: strText = QCoreApplication::translate("DeviceProblems", "The device refused to give its event features."); break;
    case NoEvents: strText = QCoreApplication::translate("DeviceProblems", "The device describes no events."); break;
    }
    if (problem.nCode != 0)
        strText += QLatin1Char(' ') + QCoreApplication::translate("DeviceProblems", "(error %1)").arg(Hex(problem.nCode));
    return strText;
}

QString CodeText(int nCode)
{
    QString strWhy;
    switch (nCode) {
    case GC_ERR_NOT_IMPLEMENTED: strWhy = QCoreApplication::translate("DeviceProblems", "the device does not support it"); break;
    case GC_ERR_RESOURCE_IN_USE: strWhy = QCoreApplication::translate("DeviceProblems", "the device is in use by another application"); break;
    case GC_ERR_ACCESS_DENIED: strWhy = QCoreApplication::translate("DeviceProblems", "the device refused access (write-protected, or controlled by another application or host)"); break;
    case GC_ERR_INVALID_HANDLE:
    case GC_ERR_NOT_INITIALIZED: strWhy = QCoreApplication::translate("DeviceProblems", "the device is not open"); break;
    case GC_ERR_INVALID_ID: strWhy = QCoreApplication::translate("DeviceProblems", "the device does not know this feature or entry"); break;
    case GC_ERR_INVALID_PARAMETER:
    case GC_ERR_INVALID_VALUE: strWhy = QCoreApplication::translate("DeviceProblems", "the device refused the value"); break;
    case GC_ERR_IO: strWhy = QCoreApplication::translate("DeviceProblems", "the connection to the device failed"); break;
    case GC_ERR_TIMEOUT: strWhy = QCoreApplication::translate("DeviceProblems", "the device did not answer in time"); break;
    case GC_ERR_NOT_AVAILABLE: strWhy = QCoreApplication::translate("DeviceProblems", "not available on the device now"); break;
    case GC_ERR_INVALID_ADDRESS: strWhy = QCoreApplication::translate("DeviceProblems", "the device has no register at that address"); break;
    case GC_ERR_BUSY: strWhy = QCoreApplication::translate("DeviceProblems", "the device is busy"); break;
    default: strWhy = QCoreApplication::translate("DeviceProblems", "the device reported an error"); break;
    }
    return QStringLiteral("%1 (%2)").arg(strWhy, Hex(nCode));
}

} // namespace DeviceProblems
