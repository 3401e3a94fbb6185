#include "nxinterface.h"

#include <QDir>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>

namespace {

QMutex g_mutex;
bool g_bLoaded = false;
QString g_strLanguage;

QString SettingsFile()
{
    return NXInterface::settingsPath() + QStringLiteral("/Bedrock.ini");
}

void LoadOnce()
{
    if (g_bLoaded)
        return;
    g_bLoaded = true;
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    g_strLanguage = settings.value(QStringLiteral("UI/Language")).toString();
}

} // namespace

namespace NXInterface {

QString language(bool bSystemDefault)
{
    QMutexLocker lock(&g_mutex);
    LoadOnce();
    // Nothing chosen yet is English, as the window starts: never an empty text.
    if (g_strLanguage.isEmpty())
        return bSystemDefault && QLocale::system().language() == QLocale::Chinese ? QStringLiteral("CH")
                                                                                 : QStringLiteral("ENG");
    return g_strLanguage;
}

void setLanguage(const QString& strLanguage)
{
    QMutexLocker lock(&g_mutex);
    LoadOnce();
    g_strLanguage = strLanguage;
}

bool storeLanguage()
{
    QMutexLocker lock(&g_mutex);
    LoadOnce();
    QDir().mkpath(settingsPath());
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("UI/Language"), g_strLanguage);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace NXInterface
