#include "aboutdlg.h"
#include "saltiredlg.h"

#include "checklistmainwidget.h"
#include "custom.h"
#include "customcombobox.h"
#include "customlabel.h"
#include "customtitlebar.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "nxeventlogwidget.h"
#include "nxinterface.h"

#include <QAction>
#include <QResource>
#include <QSettings>
#include <QtTest>

class TestLanguage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    void WriteOem(const QString& key, const QString& value)
    {
        QSettings oem(m_home.path() + "/oem.ini", QSettings::IniFormat);
        oem.setValue(key, value);
    }
    void Store(const QString& language)
    {
        QSettings settings(NXInterface::settingsPath() + "/Bedrock.ini", QSettings::IniFormat);
        settings.setValue("UI/Language", language);
        settings.sync();
        NXInterface::setLanguage(language);
    }

private slots:
    void initTestCase()
    {
        qputenv("KESTREL_CONFIG_DIR", (m_home.path() + "/config").toUtf8());
        qputenv("KESTREL_USER_DATA_DIR", (m_home.path() + "/user").toUtf8());
        qputenv("KESTREL_PROGRAM_DATA_DIR", (m_home.path() + "/programdata").toUtf8());
        qputenv("KESTREL_OEM_FILE", (m_home.path() + "/oem.ini").toUtf8());
        qputenv("KESTREL_COMMON_FILES_DIR", (m_home.path() + "/none").toUtf8());
        QVERIFY(QResource::registerResource(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc"));
        QVERIFY(QResource::registerResource(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc"));
        NXInterface::setAppIniFile(":/Kestrel/config/app.ini");
        // The window loads its catalogues from translation/ beside the program.
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + "/translation/Saltire_zh.qm"));
    }

    void startsInTheStoredLanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("chinese");
        QTest::newRow("nothing stored") << "" << false;
        QTest::newRow("ENG") << "ENG" << false;
        QTest::newRow("something else") << "FR" << false;
        QTest::newRow("CH") << "CH" << true;
    }
    void startsInTheStoredLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(bool, chinese);
        Store(stored);
        SaltireDlg dlg;
        QCOMPARE(dlg.findChild<QAction*>("ActChinese")->isChecked(), chinese);
        QCOMPARE(dlg.findChild<QAction*>("ActEnglish")->isChecked(), !chinese);
        QCOMPARE(dlg.findChild<CustomComboBox*>("LevelCombo")->width(), chinese ? 80 : 120);
        QTRY_COMPARE(dlg.findChild<CustomLabel*>("DeviceLabel")->text(), QString(chinese ? "选择设备" : "Select Device"));
    }

    void switchingRetranslatesEveryWindow()
    {
        Store("ENG");
        SaltireDlg dlg;
        auto* page = dlg.findChild<CheckListMainWidget*>();
        auto* emptyText = page->findChild<CustomLabel*>("EmptyLabel");
        NXEventLogWidget* monitor = NXEventLogWidget::Instance(0x1234, true, &dlg);
        NXEventLogModel* columns = monitor->TableView()->logModel();
        QCOMPARE(emptyText->text(), QString("No data."));

        dlg.findChild<QAction*>("ActChinese")->trigger();
        QCOMPARE(NXInterface::language(false), QString("CH"));
        QTRY_COMPARE(emptyText->text(), QString("暂无数据。"));
        QCOMPARE(dlg.findChild<CustomLabel*>("LevelLabel")->text(), QString("用户级别"));
        QCOMPARE(dlg.findChild<CustomComboBox*>("LevelCombo")->itemText(1), QString("专家"));
        QCOMPARE(monitor->cTitleBar()->cTitleText(), QString("事件监视--"));
        QCOMPARE(columns->headerData(0, Qt::Horizontal).toString(), QString("事件时间戳(秒)"));
        QCOMPARE(dlg.findChild<QAction*>("ActChinese")->text(), QString("简体中文"));

        dlg.findChild<QAction*>("ActChinese")->trigger(); // the active language stays checked
        QVERIFY(dlg.findChild<QAction*>("ActChinese")->isChecked());

        dlg.findChild<QAction*>("ActEnglish")->trigger();
        QTRY_COMPARE(emptyText->text(), QString("No data."));
        QCOMPARE(columns->headerData(2, Qt::Horizontal).toString(), QString("System Time"));
        QCOMPARE(monitor->cTitleBar()->cTitleText(), QString("Event Monitor--"));
        QVERIFY(dlg.findChild<QAction*>("ActEnglish")->isChecked());
        QVERIFY(!dlg.findChild<QAction*>("ActChinese")->isChecked());
        delete monitor;
    }

    // The manual the Help menu opens is there, with the topics it names.
    void manualPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("English") << "/../doc/User_Manual_Kestrel_English/GUID-6A26A6EA-8654-4697-AF84-C2001057C800.html";
        QTest::newRow("Chinese") << "/../doc/User_Manual_Kestrel_Chinese/GUID-9F67AB81-ED49-47BD-89CE-A3462C8DBAB0.html";
    }
    void manualPages()
    {
        QFETCH(QString, page);
        const QString path = QCoreApplication::applicationDirPath() + page;
        QFile topic(path);
        QVERIFY2(topic.open(QIODevice::ReadOnly), qPrintable(path));
        const QString text = QString::fromUtf8(topic.readAll());
        QVERIFY(QFile::exists(QFileInfo(path).path() + "/index.html"));
        // Every picture the page shows is installed with it.
        QRegularExpressionMatchIterator it = QRegularExpression("src=\"([^\"]+)\"").globalMatch(text);
        QVERIFY(it.hasNext());
        while (it.hasNext())
            QVERIFY(QFile::exists(QFileInfo(path).path() + "/" + it.next().captured(1)));
    }

    void buildDateDigits_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("digits");
        QTest::newRow("two-digit day") << "Feb 25 2025" << "20250225";
        QTest::newRow("one-digit day, doubled blank") << "Mar  5 2025" << "20250305";
        QTest::newRow("December") << "Dec 31 1999" << "19991231";
        QTest::newRow("unknown month stays") << "Foo 12 2025" << "2025Foo12";
        QTest::newRow("not a date") << "2025-02-25" << "";
    }
    void buildDateDigits()
    {
        QFETCH(QString, date);
        QFETCH(QString, digits);
        QCOMPARE(AboutDlg::BuildDateDigits(date), digits);
    }

    void aboutBox()
    {
        Store("ENG");
        Custom::setLanguage(Lang_English);
        const QString today = AboutDlg::BuildDateDigits(__DATE__);
        QCOMPARE(AboutDlg::BuildVersionText(), "V4.1.0 build" + today);
        WriteOem("ToolSoftwareVersion", "9.8.7");
        WriteOem("SoftwareBuildDate", "20240101");
        QCOMPARE(AboutDlg::BuildVersionText(), QString("V9.8.7 build20240101"));
        {
            AboutDlg about(nullptr);
            QCOMPARE(about.width(), 400);
            QVERIFY(about.findChild<CustomLabel*>("AboutName")->text().startsWith("Gantry "));
            QCOMPARE(about.findChild<CustomLabel*>("AboutVersion")->text(), QString("V9.8.7 build20240101"));
            QVERIFY(!about.findChild<CustomLabel*>("AboutVersion")->isHidden());
        }
        WriteOem("ShowAboutVersion", "false");
        AboutDlg about(nullptr);
        about.show();
        QVERIFY(about.findChild<CustomLabel*>("AboutVersion")->isHidden());
        QVERIFY(about.findChild<CustomLabel*>("AboutNotice")->isVisible());
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
