#include "nxinterface.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString FromEnvironment(const char* szName)
{
    const QString strValue = qEnvironmentVariable(szName);
    return strValue.isEmpty() ? QString() : QDir::cleanPath(strValue);
}

#ifndef Q_OS_WIN
QString XdgFolder(const char* szVariable, const char* szHomeRelative)
{
    const QString strValue = qEnvironmentVariable(szVariable);
    // The XDG rules ignore relative paths.
    if (!strValue.isEmpty() && QDir::isAbsolutePath(strValue))
        return QDir::cleanPath(strValue);
    return QDir::homePath() + QLatin1Char('/') + QLatin1String(szHomeRelative);
}
#endif

} // namespace

namespace NXInterface {

QString appName()
{
    return QStringLiteral("Kestrel");
}

QString runtimePlatformName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Win64_x64");
#else
    return QStringLiteral("Linux64_x64");
#endif
}

QString userDataPath()
{
    const QString strOverride = FromEnvironment("KESTREL_USER_DATA_DIR");
    if (!strOverride.isEmpty())
        return strOverride;
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QLatin1Char('/') + appName();
#else
    return XdgFolder("XDG_DATA_HOME", ".local/share") + QLatin1Char('/') + appName();
#endif
}

QString programDataPath()
{
    const QString strOverride = FromEnvironment("KESTREL_PROGRAM_DATA_DIR");
    if (!strOverride.isEmpty())
        return strOverride;
#ifdef Q_OS_WIN
    return QDir::cleanPath(qEnvironmentVariable("ProgramData")) + QLatin1Char('/') + appName();
#else
    // Shared by the suite's tools of this user.
    return XdgFolder("XDG_CONFIG_HOME", ".config") + QLatin1Char('/') + appName();
#endif
}

QString settingsPath()
{
    const QString strOverride = FromEnvironment("KESTREL_CONFIG_DIR");
    if (!strOverride.isEmpty())
        return strOverride;
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#else
    return XdgFolder("XDG_CONFIG_HOME", ".config") + QLatin1Char('/') + appName();
#endif
}

QString commonFilesPath()
{
    const QString strOverride = FromEnvironment("KESTREL_COMMON_FILES_DIR");
    if (!strOverride.isEmpty())
        return strOverride;
#ifdef Q_OS_WIN
    return QDir::cleanPath(qEnvironmentVariable("CommonProgramFiles"));
#else
    // The runtime is installed per user or for the system; the first XDG data folder that holds it wins.
    const QString strUserData = XdgFolder("XDG_DATA_HOME", ".local/share");
    QStringList candidates{strUserData};
    QString strSystemDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (strSystemDirs.isEmpty())
        strSystemDirs = QStringLiteral("/usr/local/share:/usr/share");
    const QStringList systemDirs = strSystemDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& strDir : systemDirs) {
        if (QDir::isAbsolutePath(strDir))
            candidates.append(QDir::cleanPath(strDir));
    }
    for (const QString& strCandidate : candidates) {
        if (QFileInfo(strCandidate + QLatin1Char('/') + appName() + QStringLiteral("/Runtime")).isDir())
            return strCandidate;
    }
    return strUserData;
#endif
}

} // namespace NXInterface
