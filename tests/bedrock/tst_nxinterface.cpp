#include "custom.h"
#include "nxinterface.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

class TestNXInterface : public QObject
{
    Q_OBJECT

private slots:
    void folderOverrides()
    {
        QTemporaryDir dir;
        qputenv("KESTREL_USER_DATA_DIR", (dir.path() + QStringLiteral("/user/")).toUtf8());
        qputenv("KESTREL_PROGRAM_DATA_DIR", (dir.path() + QStringLiteral("/program")).toUtf8());
        qputenv("KESTREL_COMMON_FILES_DIR", (dir.path() + QStringLiteral("/common")).toUtf8());
        QCOMPARE(NXInterface::userDataPath(), dir.path() + QStringLiteral("/user"));
        QCOMPARE(NXInterface::programDataPath(), dir.path() + QStringLiteral("/program"));
        QCOMPARE(NXInterface::commonFilesPath(), dir.path() + QStringLiteral("/common"));
        QCOMPARE(NXInterface::appName(), QStringLiteral("Kestrel"));
        QCOMPARE(NXInterface::runtimePlatformName(), QStringLiteral("Linux64_x64"));
    }

    void xdgDefaults()
    {
        QTemporaryDir dir;
        qunsetenv("KESTREL_USER_DATA_DIR");
        qunsetenv("KESTREL_PROGRAM_DATA_DIR");
        qunsetenv("KESTREL_COMMON_FILES_DIR");
        qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_DIRS", (dir.path() + QStringLiteral("/sys1:") + dir.path() + QStringLiteral("/sys2")).toUtf8());
        QCOMPARE(NXInterface::userDataPath(), dir.path() + QStringLiteral("/data/Kestrel"));
        QCOMPARE(NXInterface::programDataPath(), dir.path() + QStringLiteral("/config/Kestrel"));
        // Without an installed runtime the user's data folder is where one would go.
        QCOMPARE(NXInterface::commonFilesPath(), dir.path() + QStringLiteral("/data"));
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/sys2/Kestrel/Runtime")));
        QCOMPARE(NXInterface::commonFilesPath(), dir.path() + QStringLiteral("/sys2"));
    }

    void languagePersists()
    {
        QTemporaryDir dir;
        qputenv("KESTREL_CONFIG_DIR", dir.path().toUtf8());
        QCOMPARE(NXInterface::language(false), QStringLiteral("ENG")); // nothing stored yet
        QVERIFY(!NXInterface::language(true).isEmpty());
        NXInterface::setLanguage(QStringLiteral("CH"));
        QCOMPARE(NXInterface::language(false), QStringLiteral("CH"));
        QVERIFY(NXInterface::storeLanguage());
        QSettings stored(dir.path() + QStringLiteral("/Bedrock.ini"), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("UI/Language")).toString(), QStringLiteral("CH"));
    }

    void oemValues()
    {
        QTemporaryDir dir;
        const QString strOem = dir.path() + QStringLiteral("/oem.ini");
        qputenv("KESTREL_OEM_FILE", strOem.toUtf8());
        QCOMPARE(NXInterface::GetOEMCfgValue(QStringLiteral("ShowUserManuel"), true).toBool(), true);
        {
            QSettings oem(strOem, QSettings::IniFormat);
            oem.setValue(QStringLiteral("ShowUserManuel"), QStringLiteral("false"));
            oem.setValue(QStringLiteral("ToolSoftwareVersion"), QStringLiteral("9.9.9"));
            oem.setValue(QStringLiteral("Copyright_EN"), QStringLiteral("OEM %1"));
        }
        QCOMPARE(NXInterface::GetOEMCfgValue(QStringLiteral("ShowUserManuel"), true).toBool(), false);
        QCOMPARE(NXInterface::GetOEMCfgValue(QStringLiteral("Missing"), 5).toInt(), 5);
        QCOMPARE(NXInterface::curExeVersion(), QStringLiteral("9.9.9"));
        QCOMPARE(NXInterface::softwareConfigInfor(QStringLiteral("Copyright_EN")), QStringLiteral("OEM %1"));

        const QString strApp = dir.path() + QStringLiteral("/app.ini");
        {
            QSettings app(strApp, QSettings::IniFormat);
            app.setValue(QStringLiteral("Copyright_CN"), QStringLiteral("APP %1"));
        }
        NXInterface::setAppIniFile(strApp);
        QCOMPARE(NXInterface::softwareConfigInfor(QStringLiteral("Copyright_CN")), QStringLiteral("APP %1"));
        QCOMPARE(NXInterface::softwareConfigInfor(QStringLiteral("Nothing")), QString());
        qunsetenv("KESTREL_OEM_FILE");
    }

    void textOfByteFields_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("encoded");
        QTest::addColumn<QString>("locale");
        const QByteArray utf8 = QStringLiteral("相机 A").toUtf8();
        const QByteArray gb = QTextCodec::codecForName("GB18030")->fromUnicode(QStringLiteral("相机"));
        QTest::newRow("to the zero byte") << QByteArray("Cam\0junk", 8) << -1 << "Cam" << "Cam";
        QTest::newRow("field size stops early") << QByteArray("Camera") << 3 << "Cam" << "Cam";
        QTest::newRow("field without zero") << QByteArray("ABCD") << 4 << "ABCD" << "ABCD";
        QTest::newRow("utf-8") << utf8 << -1 << QStringLiteral("相机 A") << QStringLiteral("相机 A");
        QTest::newRow("gb18030") << gb << -1 << QStringLiteral("相机") << QString::fromLocal8Bit(gb);
        QTest::newRow("empty") << QByteArray() << -1 << "" << "";
    }

    void textOfByteFields()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        QFETCH(QString, encoded);
        QFETCH(QString, locale);
        const QByteArray field = bytes + QByteArray(1, '\0');
        const auto* pUnsigned = reinterpret_cast<const unsigned char*>(field.constData());
        QCOMPARE(NXInterface::GetEncodeQStringFromChar(field.constData(), length), encoded);
        QCOMPARE(NXInterface::GetEncodeQStringFromUnChar(pUnsigned, length), encoded);
        QCOMPARE(NXInterface::char2QStringLocale(field.constData(), length), locale);
        QCOMPARE(NXInterface::uchar2QStringLocale(pUnsigned, length), locale);
        QCOMPARE(NXInterface::GetEncodeQStringFromChar(nullptr, length), QString());
    }

    void hexadecimal_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("event id") << 0x9012 << 0 << 4 << "0x9012";
        QTest::newRow("padded") << 0x1a << 0 << 4 << "0x001A";
        QTest::newRow("lower") << 0xabc << 1 << 4 << "0x0abc";
        QTest::newRow("wider than width") << 0x12345 << 0 << 4 << "0x12345";
        QTest::newRow("negative is 32-bit") << -1 << 0 << 4 << "0xFFFFFFFF";
        QTest::newRow("no width") << 0 << 0 << 0 << "0x0";
    }

    void hexadecimal()
    {
        QFETCH(int, value);
        QFETCH(int, lower);
        QFETCH(int, width);
        QFETCH(QString, text);
        QCOMPARE(NXInterface::toHexadecimalString(value, lower, width), text);
    }

    void fileFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qtFilter");
        QTest::newRow("pipe pair") << "Event Configuration file(*.ect)|*.ect" << "Event Configuration file(*.ect)";
        QTest::newRow("pattern outside") << "Logs|*.txt;*.log" << "Logs (*.txt *.log)";
        QTest::newRow("two pairs") << "A(*.a)|*.a|B|*.b" << "A(*.a);;B (*.b)";
        QTest::newRow("qt form stays") << "Text (*.txt);;All (*)" << "Text (*.txt);;All (*)";
    }

    void fileFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qtFilter);
        QCOMPARE(NXInterface::toQtFileFilter(filter), qtFilter);
    }

    void openDialogGoesThroughTheWidgetLibrary()
    {
        FileDialogRequest seen;
        Custom::setFileDialogHandler([&](const FileDialogRequest& request) {
            seen = request;
            return QStringLiteral("/data/x.ect");
        });
        QCOMPARE(NXInterface::getOpenFileName(nullptr, QStringLiteral("Import"), QStringLiteral("/data"),
                                              QStringLiteral("Event Configuration file(*.ect)|*.ect")),
                 QStringLiteral("/data/x.ect"));
        QCOMPARE(seen.mode, FileDialogRequest::Open);
        QCOMPARE(seen.strFilter, QStringLiteral("Event Configuration file(*.ect)"));
        QCOMPARE(seen.strDir, QStringLiteral("/data"));
        Custom::setFileDialogHandler(nullptr);
    }
};

QTEST_MAIN(TestNXInterface)
#include "tst_nxinterface.moc"
