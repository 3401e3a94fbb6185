#include "nxinterface.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QString WriteFile(const QTemporaryDir& dir, const QString& strName, const QByteArray& content)
{
    const QString strPath = dir.path() + QLatin1Char('/') + strName;
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return strPath;
}

QByteArray ReadFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { NXInterface::shutdownLog(); }

    void rollingFileGetsLevelsAboveThreshold()
    {
        QTemporaryDir dir;
        qputenv("KESTREL_USER_DATA_DIR", dir.path().toUtf8());
        const QString strConf = WriteFile(dir, QStringLiteral("log.conf"),
                                          "# comment\n"
                                          "log4j.rootLogger=INFO, rolling\n"
                                          "log4j.appender.rolling=org.apache.log4j.RollingFileAppender\n"
                                          "log4j.appender.rolling.File=Log/Saltire.log\n"
                                          "log4j.appender.rolling.MaxFileSize=1KB\n"
                                          "log4j.appender.rolling.MaxBackupIndex=2\n"
                                          "log4j.appender.rolling.layout=org.apache.log4j.PatternLayout\n");
        QVERIFY(NXInterface::initLog4qtConfig(strConf));
        const QString strLog = dir.path() + QStringLiteral("/Log/Saltire.log");
        QCOMPARE(NXInterface::currentLogFile(), strLog);
        qDebug("hidden debug line");
        qInfo("Set EventCategory %d", 3);
        qCritical("Failed to open interface : 0x%s", "80000001");
        const QByteArray log = ReadFile(strLog);
        QVERIFY(!log.contains("hidden debug line"));
        QVERIFY(log.contains("Set EventCategory 3"));
        QVERIFY(log.contains("Failed to open interface : 0x80000001"));

        // The file rolls over at its size limit and keeps two backups.
        for (int i = 0; i < 200; ++i)
            qInfo("filler line %d to make the log roll over", i);
        QVERIFY(QFile::exists(strLog + QStringLiteral(".1")) || QFile::exists(dir.path() + QStringLiteral("/Log/Saltire.1.log")));
        QVERIFY(QFileInfo(strLog).size() <= 1024);
    }

    void unusableConfigurationKeepsLogging_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no root logger") << QByteArray("log4j.appender.a=org.apache.log4j.ConsoleAppender\n");
        QTest::newRow("bad level") << QByteArray("log4j.rootLogger=LOUD, a\nlog4j.appender.a=org.apache.log4j.ConsoleAppender\n");
        QTest::newRow("unknown appender") << QByteArray("log4j.rootLogger=INFO, a\nlog4j.appender.a=Carrier.Pigeon\n");
        QTest::newRow("file without path") << QByteArray("log4j.rootLogger=INFO, a\nlog4j.appender.a=org.apache.log4j.RollingFileAppender\n");
        QTest::newRow("bad size") << QByteArray("log4j.rootLogger=INFO, a\nlog4j.appender.a=org.apache.log4j.RollingFileAppender\nlog4j.appender.a.File=x.log\nlog4j.appender.a.MaxFileSize=big\n");
        QTest::newRow("line without key") << QByteArray("just words\n");
    }

    void unusableConfigurationKeepsLogging()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString strConf = WriteFile(dir, QStringLiteral("log.conf"), content);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("[Ll]og")));
        QVERIFY(!NXInterface::initLog4qtConfig(strConf));
        QVERIFY(NXInterface::currentLogFile().isEmpty());
        // Qt's own handler still delivers messages, which ignoreMessage proves.
        QTest::ignoreMessage(QtWarningMsg, "still routed");
        qWarning("still routed");
    }

    void missingConfiguration()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not loaded")));
        QVERIFY(!NXInterface::initLog4qtConfig(QStringLiteral("/no/such/log4qt.conf")));
    }
};

QTEST_GUILESS_MAIN(TestLogging)
#include "tst_logging.moc"
