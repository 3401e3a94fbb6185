#include "nxinterface.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>

namespace {

QMutex g_mutex;
QString g_strAppIniFile;

QString OemFile()
{
    const QString strOverride = qEnvironmentVariable("KESTREL_OEM_FILE");
    if (!strOverride.isEmpty())
        return strOverride;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/oem/oem.ini");
}

QVariant IniValue(const QString& strFile, const QString& strKey)
{
    if (strFile.isEmpty() || !QFileInfo::exists(strFile))
        return QVariant();
    QSettings settings(strFile, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(strKey);
}

} // namespace

namespace NXInterface {

void setAppIniFile(const QString& strPath)
{
    QMutexLocker lock(&g_mutex);
    g_strAppIniFile = strPath;
}

QString appIniFile()
{
    QMutexLocker lock(&g_mutex);
    return g_strAppIniFile;
}

QVariant GetOEMCfgValue(const QString& strKey, const QVariant& defaultValue)
{
    const QVariant value = IniValue(OemFile(), strKey);
    if (!value.isValid())
        return defaultValue;
    // INI values arrive as text; answer in the type the caller expects.
    if (defaultValue.isValid() && value.canConvert(defaultValue.userType())) {
        QVariant converted = value;
        if (defaultValue.userType() == QMetaType::Bool) {
            const QString strText = value.toString().trimmed().toLower();
            return QVariant(!(strText == QLatin1String("false") || strText == QLatin1String("0")
                              || strText == QLatin1String("no") || strText.isEmpty()));
        }
        if (converted.convert(defaultValue.userType()))
            return converted;
    }
    return value;
}

QString softwareConfigInfor(const QString& strKey)
{
    const QVariant oem = IniValue(OemFile(), strKey);
    if (oem.isValid())
        return oem.toString();
    return IniValue(appIniFile(), strKey).toString();
}

QString curExeVersion()
{
    QString strVersion = GetOEMCfgValue(QStringLiteral("ToolSoftwareVersion"), QString()).toString();
    if (strVersion.isEmpty())
        strVersion = IniValue(appIniFile(), QStringLiteral("ToolSoftwareVersion")).toString();
    if (strVersion.isEmpty())
        strVersion = QCoreApplication::applicationVersion();
    return strVersion;
}

} // namespace NXInterface
