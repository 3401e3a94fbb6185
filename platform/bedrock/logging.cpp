#include "nxinterface.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QTextStream>

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <cstdlib>
#include <memory>
#include <vector>

// The log configuration is a log4qt/log4j properties file. Understood keys:
//   log4j.rootLogger=<LEVEL>, <appender>, ...
//   log4j.appender.<name>=org.apache.log4j.ConsoleAppender | org.apache.log4j.RollingFileAppender
//   log4j.appender.<name>.File=<path>            relative paths and ${USERDATA} lie in the user-data folder
//   log4j.appender.<name>.MaxFileSize=<n>[KB|MB|GB]
//   log4j.appender.<name>.MaxBackupIndex=<n>
//   log4j.appender.<name>.Threshold=<LEVEL>
// Other keys (layouts, named loggers) are accepted and ignored.

namespace {

QMutex g_mutex;
std::shared_ptr<spdlog::logger> g_pLogger;
QtMessageHandler g_previousHandler = nullptr;
bool g_bHandlerInstalled = false;
bool g_bPostRoutineAdded = false;
QString g_strLogFile;

struct Appender
{
    QString strType;
    QString strFile;
    qint64 nMaxFileSize = 10 * 1024 * 1024;
    int nMaxBackups = 1;
    spdlog::level::level_enum threshold = spdlog::level::trace;
};

bool ParseLevel(const QString& strText, spdlog::level::level_enum* pLevel)
{
    const QString strLevel = strText.trimmed().toUpper();
    if (strLevel == QLatin1String("ALL") || strLevel == QLatin1String("TRACE"))
        *pLevel = spdlog::level::trace;
    else if (strLevel == QLatin1String("DEBUG"))
        *pLevel = spdlog::level::debug;
    else if (strLevel == QLatin1String("INFO"))
        *pLevel = spdlog::level::info;
    else if (strLevel == QLatin1String("WARN"))
        *pLevel = spdlog::level::warn;
    else if (strLevel == QLatin1String("ERROR"))
        *pLevel = spdlog::level::err;
    else if (strLevel == QLatin1String("FATAL"))
        *pLevel = spdlog::level::critical;
    else if (strLevel == QLatin1String("OFF"))
        *pLevel = spdlog::level::off;
    else
        return false;
    return true;
}

bool ParseSize(const QString& strText, qint64* pSize)
{
    QString strValue = strText.trimmed().toUpper();
    qint64 nUnit = 1;
    if (strValue.endsWith(QLatin1String("KB")))
        nUnit = 1024;
    else if (strValue.endsWith(QLatin1String("MB")))
        nUnit = 1024 * 1024;
    else if (strValue.endsWith(QLatin1String("GB")))
        nUnit = 1024 * 1024 * 1024;
    if (nUnit != 1)
        strValue.chop(2);
    bool bOk = false;
    const qint64 nValue = strValue.trimmed().toLongLong(&bOk);
    if (!bOk || nValue <= 0)
        return false;
    *pSize = nValue * nUnit;
    return true;
}

spdlog::level::level_enum LevelOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return spdlog::level::debug;
    case QtInfoMsg: return spdlog::level::info;
    case QtWarningMsg: return spdlog::level::warn;
    case QtCriticalMsg: return spdlog::level::err;
    case QtFatalMsg: return spdlog::level::critical;
    }
    return spdlog::level::info;
}

void MessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& strMessage)
{
    std::shared_ptr<spdlog::logger> pLogger = std::atomic_load(&g_pLogger);
    if (pLogger) {
        QString strLine = strMessage;
        if (context.category && qstrcmp(context.category, "default") != 0)
            strLine = QString::fromLatin1(context.category) + QStringLiteral(": ") + strMessage;
        pLogger->log(LevelOf(type), "{}", strLine.toStdString());
        if (type == QtFatalMsg)
            pLogger->flush();
    } else if (g_previousHandler) {
        g_previousHandler(type, context, strMessage);
    }
    if (type == QtFatalMsg)
        std::abort();
}

QString ResolveLogPath(QString strPath)
{
    strPath.replace(QStringLiteral("${USERDATA}"), NXInterface::userDataPath());
    strPath = QDir::fromNativeSeparators(strPath.trimmed());
    if (QDir::isRelativePath(strPath))
        strPath = NXInterface::userDataPath() + QLatin1Char('/') + strPath;
    return QDir::cleanPath(strPath);
}

} // namespace

namespace NXInterface {

bool initLog4qtConfig(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning().noquote() << "Log configuration" << strPath << "not loaded:" << file.errorString();
        return false;
    }

    QHash<QString, QString> properties;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    while (!stream.atEnd()) {
        const QString strLine = stream.readLine().trimmed();
        if (strLine.isEmpty() || strLine.startsWith(QLatin1Char('#')) || strLine.startsWith(QLatin1Char('!')))
            continue;
        const int nEquals = strLine.indexOf(QLatin1Char('='));
        if (nEquals <= 0) {
            qWarning().noquote() << "Log configuration" << strPath << "has a line without a key:" << strLine;
            return false;
        }
        properties.insert(strLine.left(nEquals).trimmed(), strLine.mid(nEquals + 1).trimmed());
    }

    const QString strRoot = properties.value(QStringLiteral("log4j.rootLogger"));
    QStringList rootParts = strRoot.split(QLatin1Char(','));
    spdlog::level::level_enum rootLevel = spdlog::level::debug;
    if (strRoot.isEmpty() || !ParseLevel(rootParts.takeFirst(), &rootLevel)) {
        qWarning().noquote() << "Log configuration" << strPath << "has no valid log4j.rootLogger";
        return false;
    }

    std::vector<spdlog::sink_ptr> sinks;
    QString strLogFile;
    for (const QString& strNamePart : qAsConst(rootParts)) {
        const QString strName = strNamePart.trimmed();
        if (strName.isEmpty())
            continue;
        const QString strPrefix = QStringLiteral("log4j.appender.") + strName;
        Appender appender;
        appender.strType = properties.value(strPrefix);
        const QString strThreshold = properties.value(strPrefix + QStringLiteral(".Threshold"));
        if (!strThreshold.isEmpty() && !ParseLevel(strThreshold, &appender.threshold)) {
            qWarning().noquote() << "Log configuration" << strPath << ": bad threshold of" << strName;
            return false;
        }
        spdlog::sink_ptr pSink;
        if (appender.strType.endsWith(QLatin1String("ConsoleAppender"))) {
            pSink = std::make_shared<spdlog::sinks::stderr_sink_mt>();
        } else if (appender.strType.endsWith(QLatin1String("RollingFileAppender"))
                   || appender.strType.endsWith(QLatin1String("FileAppender"))) {
            appender.strFile = properties.value(strPrefix + QStringLiteral(".File"));
            if (appender.strFile.isEmpty()) {
                qWarning().noquote() << "Log configuration" << strPath << ": appender" << strName << "has no File";
                return false;
            }
            const QString strSize = properties.value(strPrefix + QStringLiteral(".MaxFileSize"));
            if (!strSize.isEmpty() && !ParseSize(strSize, &appender.nMaxFileSize)) {
                qWarning().noquote() << "Log configuration" << strPath << ": bad MaxFileSize of" << strName;
                return false;
            }
            const QString strBackups = properties.value(strPrefix + QStringLiteral(".MaxBackupIndex"));
            if (!strBackups.isEmpty()) {
                bool bOk = false;
                appender.nMaxBackups = strBackups.toInt(&bOk);
                if (!bOk || appender.nMaxBackups < 0) {
                    qWarning().noquote() << "Log configuration" << strPath << ": bad MaxBackupIndex of" << strName;
                    return false;
                }
            }
            const QString strFile = ResolveLogPath(appender.strFile);
            QDir().mkpath(QFileInfo(strFile).absolutePath());
            try {
                pSink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
                    QFile::encodeName(strFile).toStdString(), std::size_t(appender.nMaxFileSize),
                    std::size_t(appender.nMaxBackups));
            } catch (const std::exception& error) {
                qWarning().noquote() << "Log file" << strFile << "cannot be opened:" << error.what();
                return false;
            }
            if (strLogFile.isEmpty())
                strLogFile = strFile;
        } else {
            qWarning().noquote() << "Log configuration" << strPath << ": appender" << strName
                                 << "has an unknown type" << appender.strType;
            return false;
        }
        pSink->set_level(appender.threshold);
        pSink->set_pattern("%Y-%m-%d %H:%M:%S.%e [%t] %-8l %v");
        sinks.push_back(pSink);
    }

    auto pLogger = std::make_shared<spdlog::logger>("kestrel", sinks.begin(), sinks.end());
    pLogger->set_level(rootLevel);
    // Lines must survive a crash of the process.
    pLogger->flush_on(spdlog::level::trace);

    QMutexLocker lock(&g_mutex);
    std::atomic_store(&g_pLogger, pLogger);
    g_strLogFile = strLogFile;
    if (!g_bHandlerInstalled) {
        g_previousHandler = qInstallMessageHandler(MessageHandler);
        g_bHandlerInstalled = true;
    }
    if (!g_bPostRoutineAdded && QCoreApplication::instance()) {
        qAddPostRoutine(&NXInterface::shutdownLog);
        g_bPostRoutineAdded = true;
    }
    return true;
}

QString currentLogFile()
{
    QMutexLocker lock(&g_mutex);
    return g_strLogFile;
}

void shutdownLog()
{
    QMutexLocker lock(&g_mutex);
    if (g_bHandlerInstalled) {
        qInstallMessageHandler(g_previousHandler);
        g_bHandlerInstalled = false;
        g_previousHandler = nullptr;
    }
    std::shared_ptr<spdlog::logger> pLogger = std::atomic_exchange(&g_pLogger, std::shared_ptr<spdlog::logger>());
    if (pLogger)
        pLogger->flush();
    g_strLogFile.clear();
}

} // namespace NXInterface
