#include "saltiredlg.h"

#include "customcombobox.h"
#include "customtitlebar.h"
#include "nxinterface.h"

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

// Nothing of the run-time layout is present: no resource files, no log configuration, no OEM file,
// no translations. The window must still open with its controls.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void opensWithoutRuntimeFiles()
    {
        QTemporaryDir home;
        qputenv("KESTREL_USER_DATA_DIR", home.path().toUtf8());
        qputenv("KESTREL_CONFIG_DIR", home.path().toUtf8());
        qputenv("KESTREL_OEM_FILE", (home.path() + QStringLiteral("/missing.ini")).toUtf8());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not loaded")));
        QVERIFY(!NXInterface::initLog4qtConfig(home.path() + QStringLiteral("/log4qt/log4qt_Kestrel.conf")));
        NXInterface::setAppIniFile(QStringLiteral(":/Kestrel/config/app.ini"));

        SaltireDlg dlg;
        dlg.show();
        dlg.cShowMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_VERIFY(dlg.isMaximized());
        QCOMPARE(dlg.cTitleBar()->cTitleText(), QStringLiteral("Gantry"));
        QCOMPARE(dlg.findChild<CustomComboBox*>(QStringLiteral("LevelCombo"))->currentText(), QStringLiteral("Guru"));
        QVERIFY(dlg.findChild<QAction*>(QStringLiteral("ActManual"))->isVisible());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
