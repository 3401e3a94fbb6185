#include "qlocalcfg.h"

#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestLocalCfg : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Path() const { return m_dir.path() + "/programdata/LocalConfig.ini"; }

private slots:
    void init()
    {
        qputenv("KESTREL_PROGRAM_DATA_DIR", (m_dir.path() + "/programdata").toUtf8());
        qputenv("KESTREL_USER_DATA_DIR", (m_dir.path() + "/user").toUtf8());
        QFile::remove(Path());
    }

    void firstRunWritesEveryKey()
    {
        QLocalCfg* cfg = QLocalCfg::Instance();
        QVERIFY(cfg);
        QCOMPARE(QLocalCfg::Instance(), cfg); // one object
        QVERIFY(!cfg->EventAutoSave());
        QCOMPARE(cfg->Value("Recording/OutputFolder").toString(), m_dir.path() + "/user/Data");
        QVERIFY(QDir(m_dir.path() + "/user/Data").exists());
        QCOMPARE(cfg->KeyName(Qt::Key_Delete), QString("None"));
        QCOMPARE(cfg->KeyName(Qt::Key_F12), QString("F12"));
        QCOMPARE(cfg->KeyName('Q'), QString("Q"));
        QVERIFY(!QFile::exists(Path()));
        QLocalCfg::Destroy();
        QLocalCfg::Destroy(); // nothing left: nothing happens
        QSettings ini(Path(), QSettings::IniFormat);
        const QStringList keys = ini.allKeys();
        for (const char* key : {"Feature/Langue", "General/QuickTuning", "Recording/FixedPlaybackSpeed", "ModifierKey/Connect",
                                "ShortcutKey/BuildIn", "RenderGridEditor/Color", "CustomLayout/size", "StayTop/Cameras",
                                "EventMonitor/EventAutoSave", "View/LocalFileStatusShowFlage"})
            QVERIFY2(keys.contains(key), key);
        QVERIFY(!keys.contains("General/SupportOtherCameraFeature"));
        QCOMPARE(ini.value("Feature/Langue").toString(), QString("ENG"));
        QCOMPARE(ini.value("View/LocalFileStatusShowFlage").toInt(), 32776);
        QCOMPARE(ini.value("ShortcutKey/Connect").toInt(), int(Qt::Key_F1));
        QCOMPARE(ini.value("ModifierKey/ZoomIn").toInt(), int(Qt::ControlModifier | Qt::KeypadModifier));
        QCOMPARE(ini.value("ShortcutKey/ZoomIn").toInt(), int(Qt::Key_Plus));
    }

    void otherToolsKeysSurvive()
    {
        {
            QSettings ini(Path(), QSettings::IniFormat);
            ini.setValue("Recording/VideoQuality", 77);
            ini.setValue("ShortcutKey/BuildIn", int(Qt::Key_F));
            ini.setValue("ModifierKey/BuildIn", 0);
            ini.setValue("ShortcutKey/Record", int(Qt::Key_F9));
            ini.setValue("StayTop/Cameras", "cam1;cam2");
            ini.setValue("RenderGridEditor/Gap", "");
            ini.setValue("RenderGridEditor/Color", "#123456");
            ini.setValue("Viewer/SomethingElse", "kept");
            ini.beginWriteArray("CustomLayout");
            ini.setArrayIndex(0);
            ini.setValue("LayoutName", "Two");
            ini.setValue("LayoutInfo", "1x2");
            ini.endArray();
        }
        QLocalCfg* cfg = QLocalCfg::Instance();
        QCOMPARE(cfg->Value("Recording/VideoQuality").toInt(), 77);
        QCOMPARE(cfg->Value("StayTop/Cameras").toStringList(), (QStringList{"cam1", "cam2"}));
        QCOMPARE(cfg->Value("RenderGridEditor/Color").toString(), QString("#00FF00")); // empty gap: not read
        QLocalCfg::Destroy();
        QSettings ini(Path(), QSettings::IniFormat);
        QCOMPARE(ini.value("Recording/VideoQuality").toInt(), 77);
        QCOMPARE(ini.value("ShortcutKey/BuildIn").toInt(), int(Qt::Key_M));
        QCOMPARE(ini.value("ModifierKey/BuildIn").toInt(), int(Qt::ControlModifier | Qt::AltModifier));
        QCOMPARE(ini.value("ShortcutKey/Record").toInt(), int(Qt::Key_F9));
        QCOMPARE(ini.value("StayTop/Cameras").toString(), QString("cam1;cam2"));
        QCOMPARE(ini.value("Viewer/SomethingElse").toString(), QString("kept"));
        QCOMPARE(ini.value("RenderGridEditor/Color").toString(), QString("#00FF00"));
        QCOMPARE(ini.beginReadArray("CustomLayout"), 1);
        ini.setArrayIndex(0);
        QCOMPARE(ini.value("LayoutInfo").toString(), QString("1x2"));
        ini.endArray();
        QVERIFY(!ini.contains("General/SupportOtherCameraFeature"));
    }

    // A file whose array size is far beyond its elements costs what the file holds, and is written back
    // with its real size.
    void arraySizeBeyondItsElements()
    {
        QDir().mkpath(m_dir.path() + "/programdata");
        QFile file(Path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[CustomLayout]\n1\\LayoutName=One\n1\\LayoutInfo=1x1\nsize=3577712\n");
        file.close();
        QLocalCfg::Instance();
        QLocalCfg::Destroy();
        QVERIFY2(QFileInfo(Path()).size() < 4096, qPrintable(QString::number(QFileInfo(Path()).size())));
        QSettings ini(Path(), QSettings::IniFormat);
        QCOMPARE(ini.beginReadArray("CustomLayout"), 1);
        ini.setArrayIndex(0);
        QCOMPARE(ini.value("LayoutName").toString(), QString("One"));
        ini.endArray();
    }
};

QTEST_GUILESS_MAIN(TestLocalCfg)
#include "tst_localcfg.moc"
