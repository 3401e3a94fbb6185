#include "saltiredlg.h"

#include "aboutdlg.h"
#include "checklistmainwidget.h"
#include "custom.h"
#include "customcheckbox.h"
#include "customcombobox.h"
#include "customlabel.h"
#include "custompushbutton.h"
#include "customtitlebar.h"
#include "hotkeyevent.h"
#include "nxeventlogmodel.h"
#include "nxeventlogtableview.h"
#include "nxeventlogwidget.h"
#include "nxinterface.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QResource>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

namespace {

QStringList g_messages;
QtMessageHandler g_previous = nullptr;

void CollectMessages(QtMsgType type, const QMessageLogContext& context, const QString& strMessage)
{
    g_messages.append(strMessage);
    if (g_previous)
        g_previous(type, context, strMessage);
}

// Receives the pages the manual action opens.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

class TestSaltireDlg : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    void WriteOem(const QString& strKey, const QString& strValue)
    {
        QSettings oem(m_home.path() + QStringLiteral("/oem.ini"), QSettings::IniFormat);
        oem.setValue(strKey, strValue);
    }

    void Store(const QString& strLanguage)
    {
        QSettings settings(NXInterface::settingsPath() + QStringLiteral("/Bedrock.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("UI/Language"), strLanguage);
        settings.sync();
        NXInterface::setLanguage(strLanguage);
    }

private slots:
    void initTestCase()
    {
        // Everything the window touches lies in a temporary home; resources are registered as the entry does.
        qputenv("KESTREL_USER_DATA_DIR", (m_home.path() + QStringLiteral("/user")).toUtf8());
        qputenv("KESTREL_CONFIG_DIR", (m_home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("KESTREL_OEM_FILE", (m_home.path() + QStringLiteral("/oem.ini")).toUtf8());
        qputenv("KESTREL_PROGRAM_DATA_DIR", (m_home.path() + QStringLiteral("/programdata")).toUtf8());
        qputenv("KESTREL_COMMON_FILES_DIR", (m_home.path() + QStringLiteral("/none")).toUtf8()); // no device
        // The window loads its catalogues from translation/ beside the program.
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/translation/Saltire_zh.qm")));
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc")));
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Kestrel.rcc")));
        QVERIFY(Custom::addXmlPath(QStringLiteral(":/Kestrel/QSS/CustomStyleSheet_ks.xml")));
        NXInterface::setAppIniFile(QStringLiteral(":/Kestrel/config/app.ini"));
    }

    void firstStartLayout()
    {
        SaltireDlg dlg;
        QCOMPARE(dlg.cTitleBar()->cTitleText(), QStringLiteral("Gantry"));
        QCOMPARE(dlg.cTitleBar()->height(), 42);
        auto* pLevel = dlg.findChild<CustomComboBox*>(QStringLiteral("LevelCombo"));
        QCOMPARE(pLevel->count(), 2);
        QCOMPARE(pLevel->currentText(), QStringLiteral("Guru"));
        QCOMPARE(pLevel->currentData().toInt(), 1);
        QCOMPARE(pLevel->itemData(0).toInt(), 0);
        QCOMPARE(pLevel->size(), QSize(120, 32));
        // "Recommended" fits the selector's text field, not clipped.
        pLevel->ensurePolished();
        QStyleOptionComboBox option;
        option.initFrom(pLevel);
        const QRect field = pLevel->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, pLevel);
        QVERIFY2(pLevel->fontMetrics().horizontalAdvance(pLevel->itemText(0)) <= field.width(), qPrintable(QString::number(field.width())));
        QCOMPARE(dlg.findChild<CustomComboBox*>(QStringLiteral("DeviceCombo"))->count(), 0);
        // Only the placeholder page of "no device" until a device has been read.
        auto* pPages = dlg.findChild<QStackedWidget*>(QStringLiteral("EventPages"));
        QCOMPARE(pPages->count(), 1);
        QCOMPARE(pPages->currentWidget()->objectName(), QStringLiteral("CheckListMainWidget"));
        QCOMPARE(dlg.minimumSize(), QSize(932, 700));
        QVERIFY(QDir(NXInterface::userDataPath() + QStringLiteral("/Data/Saltire")).exists());
        QCOMPARE(Custom::mainDialog(), &dlg);

        const struct { const char* szName; const char* szText; QSize size; const char* szStyle; } buttons[] = {
            {"BtnEnabledList", "Enabled Event List", QSize(140, 32), "KS_Btn_Gray_Main"},
            {"BtnCheckAll", "Check All", QSize(100, 32), "KS_Btn_Gray_Sub"},
            {"BtnCancelAll", "Cancel All", QSize(100, 32), "KS_Btn_Gray_Sub"},
            {"BtnApply", "Apply", QSize(100, 32), "KS_Btn_Orange_Main"},
            {"BtnEventMonitor", "Event Monitor", QSize(100, 32), "KS_Btn_Gray_Sub"},
        };
        for (const auto& button : buttons) {
            auto* pButton = dlg.findChild<CustomPushButton*>(QLatin1String(button.szName));
            QVERIFY2(pButton, button.szName);
            QCOMPARE(pButton->text(), QLatin1String(button.szText));
            QCOMPARE(pButton->size(), button.size);
            QCOMPARE(pButton->cStyleSelector(), QLatin1String(button.szStyle));
            // Under the pointer the text stays on a background it can be read on.
            pButton->setAttribute(Qt::WA_UnderMouse, true);
            const QImage hovered = pButton->grab().toImage();
            pButton->setAttribute(Qt::WA_UnderMouse, false);
            if (QByteArray(button.szStyle) == "KS_Btn_Gray_Sub")
                QCOMPARE(hovered.pixelColor(hovered.width() / 2, 4), QColor(QStringLiteral("#FFFFFF")));
        }
        // The orange button really shows the named style's colour.
        auto* pApply = dlg.findChild<CustomPushButton*>(QStringLiteral("BtnApply"));
        pApply->ensurePolished();
        QCOMPARE(pApply->palette().color(QPalette::ButtonText), QColor(QStringLiteral("#FFFFFF")));
    }

    void frameShowsItsOrangeBorder()
    {
        SaltireDlg dlg;
        dlg.resize(1000, 720);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRgb orange = qRgb(0xF7, 0x69, 0x00);
        QTRY_COMPARE(QColor(dlg.grab().toImage().pixel(500, 0)).rgb(), orange);
        QCOMPARE(QColor(dlg.grab().toImage().pixel(0, 360)).rgb(), orange);
    }

    void userManualFollowsTheOemValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("visible");
        QTest::newRow("false") << "false" << false;
        QTest::newRow("true") << "true" << true;
    }

    void userManualFollowsTheOemValue()
    {
        QFETCH(QString, value);
        QFETCH(bool, visible);
        WriteOem(QStringLiteral("ShowUserManuel"), value);
        SaltireDlg dlg;
        QCOMPARE(dlg.findChild<QAction*>(QStringLiteral("ActManual"))->isVisible(), visible);
        QVERIFY(dlg.findChild<QAction*>(QStringLiteral("ActAbout"))->isVisible());
        QFile::remove(m_home.path() + QStringLiteral("/oem.ini"));
    }

    // The Help menu's manual opens at the topic for the window's language; the topic is installed, with every
    // picture it shows.
    void manualOpensThePageOfTheLanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("topic");
        QTest::newRow("English") << "ENG" << "User_Manual_Kestrel_English" << "GUID-6A26A6EA-8654-4697-AF84-C2001057C800.html";
        QTest::newRow("first start: English") << "" << "User_Manual_Kestrel_English"
                                              << "GUID-6A26A6EA-8654-4697-AF84-C2001057C800.html";
        QTest::newRow("Chinese") << "CH" << "User_Manual_Kestrel_Chinese" << "GUID-9F67AB81-ED49-47BD-89CE-A3462C8DBAB0.html";
    }

    void manualOpensThePageOfTheLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(QString, folder);
        QFETCH(QString, topic);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        SaltireDlg dlg;
        NXInterface::setLanguage(stored);
        dlg.findChild<QAction*>(QStringLiteral("ActManual"))->trigger();
        NXInterface::setLanguage(QString());
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 1);
        const QUrl url = catcher.urls.first();
        QVERIFY2(url.toLocalFile().endsWith(folder + QStringLiteral("/index.html")) && QFile::exists(url.toLocalFile()),
                 qPrintable(url.toString()));
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("guid")), topic);
        const QString path = QFileInfo(url.toLocalFile()).path() + QLatin1Char('/') + topic;
        QFile page(path);
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(path));
        QRegularExpressionMatchIterator it =
            QRegularExpression(QStringLiteral("src=\"([^\"]+)\"")).globalMatch(QString::fromUtf8(page.readAll()));
        QVERIFY(it.hasNext());
        while (it.hasNext())
            QVERIFY(QFile::exists(QFileInfo(path).path() + QLatin1Char('/') + it.next().captured(1)));
    }

    void copyHotKeyTakesTheToolTip_data()
    {
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("pointer"); // over the box, beside it, over a window covering it; or a hot key not ours
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("entry and value") << "ExposureEnd : 36865" << "box" << "ExposureEnd";
        QTest::newRow("colon first is kept") << ":Leading " << "box" << ":Leading";
        QTest::newRow("blank before colon") << " :Value" << "box" << "";
        QTest::newRow("no colon") << "  Line0Rising  " << "box" << "Line0Rising";
        QTest::newRow("empty tool tip") << "" << "box" << "";
        QTest::newRow("not over a box: clipboard kept") << "ExposureEnd : 1" << "beside" << "previous";
        QTest::newRow("box covered by another window") << "ExposureEnd : 1" << "covered" << "previous";
        QTest::newRow("a dialog has the keyboard") << "ExposureEnd : 1" << "dialog" << "previous";
        QTest::newRow("another hot key over the box") << "ExposureEnd : 1" << "other key" << "previous";
    }

    void copyHotKeyTakesTheToolTip()
    {
        QFETCH(QString, toolTip);
        QFETCH(QString, pointer);
        QFETCH(QString, clipboard);
        SaltireDlg dlg;
        auto* pPage = new QWidget;
        auto* pFirst = new CustomCheckBox(pPage, SS_Second);
        pFirst->setToolTip(QStringLiteral("Under : 1"));
        pFirst->setGeometry(10, 10, 150, 24);
        auto* pSecond = new CustomCheckBox(pPage, SS_Second);
        pSecond->setToolTip(toolTip);
        pSecond->setGeometry(10, 10, 150, 24); // on top of the first: the last one under the cursor wins
        auto* pStacked = dlg.findChild<QStackedWidget*>(QStringLiteral("EventPages"));
        pStacked->addWidget(pPage);
        pStacked->setCurrentWidget(pPage);
        dlg.resize(1000, 720);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        // Another window of the tool (a dialog's text field) lying over the box.
        QLineEdit other;
        other.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        if (pointer == QLatin1String("covered")) {
            other.setGeometry(QRect(pSecond->mapToGlobal(QPoint(0, 0)), QSize(200, 40)));
            other.show();
            QVERIFY(QTest::qWaitForWindowExposed(&other));
            other.raise();
        } else if (pointer == QLatin1String("dialog")) { // beside the box, with the keyboard
            other.setWindowFlags(Qt::Dialog);
            other.setGeometry(QRect(dlg.mapToGlobal(QPoint(400, 400)), QSize(200, 40)));
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }

        QGuiApplication::clipboard()->setText(QStringLiteral("previous"));
        QCursor::setPos(pointer == QLatin1String("beside") ? dlg.mapToGlobal(QPoint(5, 300))
                                                           : pSecond->mapToGlobal(QPoint(20, 10)));
        if (pointer == QLatin1String("other key"))
            QCoreApplication::postEvent(&dlg, new HotKeyEvent(2));
        else
            QTest::keyClick(other.isVisible() ? other.windowHandle() : dlg.windowHandle(), Qt::Key_C, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(&dlg); // the hot-key event the key press posted
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }

    // The Help button keeps the title bar's background under the pointer (its hover colour is the text's),
    // and loses its hover look when its menu closes with the pointer elsewhere.
    void helpButtonHover()
    {
        SaltireDlg dlg;
        dlg.resize(1000, 720);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* pHelp = dlg.findChild<QPushButton*>(QStringLiteral("HelpButton"));
        QVERIFY(pHelp);
        // Drawn by the widget's own style in each state: beside the text, away from the corners.
        auto render = [pHelp](QStyle::State extra) {
            QStyleOptionButton option;
            option.initFrom(pHelp);
            option.text = pHelp->text();
            option.state |= extra;
            QImage image(pHelp->size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            pHelp->style()->drawControl(QStyle::CE_PushButton, &option, &painter, pHelp);
            painter.end();
            return image.pixelColor(2, pHelp->height() / 2).name(QColor::HexArgb);
        };
        const QString normal = render(QStyle::State_None);
        QCOMPARE(render(QStyle::State_MouseOver), normal);
        QCOMPARE(render(QStyle::State_Sunken), normal);

        // The pointer on the button opens its menu, then leaves while the menu has the mouse.
        QCursor::setPos(pHelp->mapToGlobal(QPoint(5, 5)));
        pHelp->setAttribute(Qt::WA_UnderMouse, true);
        QTest::mouseClick(pHelp, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QWidget* pPopup = QApplication::activePopupWidget();
        QVERIFY(qobject_cast<QMenu*>(pPopup));
        QCursor::setPos(dlg.mapToGlobal(QPoint(500, 400)));
        pPopup->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(!pHelp->testAttribute(Qt::WA_UnderMouse));
        QVERIFY(!pHelp->isDown());
    }

    // Closing "Gantry" ends the tool, however many Event Monitor windows are open.
    void closingTheMainWindowEndsTheTool()
    {
        auto* pDlg = new SaltireDlg;
        pDlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(pDlg));
        QList<QPointer<NXEventLogWidget>> monitors;
        for (quint64 key : {11, 12, 13}) {
            NXEventLogWidget* pMonitor = NXEventLogWidget::Instance(key, true, pDlg);
            pMonitor->show();
            QVERIFY(QTest::qWaitForWindowExposed(pMonitor));
            monitors << pMonitor;
        }
        QTest::mouseClick(pDlg->findChild<QPushButton*>(QStringLiteral("cBtnClose")), Qt::LeftButton);
        // Nothing left on screen: the application's last window is gone, so its event loop ends.
        for (QWindow* pWindow : QGuiApplication::topLevelWindows())
            QVERIFY2(!pWindow->isVisible(), qPrintable(pWindow->objectName()));
        for (const auto& pMonitor : qAsConst(monitors))
            QVERIFY(!pMonitor->isVisible());
        delete pDlg;
        for (const auto& pMonitor : qAsConst(monitors))
            QVERIFY(pMonitor.isNull());
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

    // Every window follows a switch of language; the user level stays as it was, without passing through the
    // level's slot again, and the level's selector takes the width of the language.
    void switchingRetranslatesEveryWindow_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("Recommended") << 0;
        QTest::newRow("Guru") << 1;
    }

    void switchingRetranslatesEveryWindow()
    {
        QFETCH(int, level);
        Store("ENG");
        SaltireDlg dlg;
        auto* page = dlg.findChild<CheckListMainWidget*>();
        auto* emptyText = page->findChild<CustomLabel*>("EmptyLabel");
        NXEventLogWidget* monitor = NXEventLogWidget::Instance(0x1234, true, &dlg);
        NXEventLogModel* columns = monitor->TableView()->logModel();
        QCOMPARE(emptyText->text(), QString("No data."));
        auto* pLevel = dlg.findChild<CustomComboBox*>("LevelCombo");
        g_messages.clear();
        g_previous = qInstallMessageHandler(CollectMessages);
        pLevel->setCurrentIndex(level);
        const int nChanges = g_messages.filter("Set user level").size();
        QCOMPARE(nChanges, level == 1 ? 0 : 1);

        dlg.findChild<QAction*>("ActChinese")->trigger();
        QCOMPARE(NXInterface::language(false), QString("CH"));
        QTRY_COMPARE(emptyText->text(), QString("暂无数据。"));
        QCOMPARE(dlg.findChild<CustomLabel*>("LevelLabel")->text(), QString("用户级别"));
        QCOMPARE(pLevel->itemText(1), QString("专家"));
        QCOMPARE(pLevel->currentData().toInt(), level);
        QCOMPARE(pLevel->size(), QSize(80, 32));
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
        QCOMPARE(dlg.findChild<QAction*>("ActChinese")->text(), QString("简体中文")); // in its own language
        // A language change event retranslates and refills without reaching the level slot.
        QEvent languageChange(QEvent::LanguageChange);
        QApplication::sendEvent(&dlg, &languageChange);
        QCOMPARE(pLevel->currentData().toInt(), level);
        QCOMPARE(pLevel->size(), QSize(120, 32));
        qInstallMessageHandler(g_previous);
        QCOMPARE(g_messages.filter("Set user level").size(), nChanges);
        QSettings stored(m_home.path() + "/config/Bedrock.ini", QSettings::IniFormat);
        QCOMPARE(stored.value("UI/Language").toString(), QString("ENG"));
        delete monitor;
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

QTEST_MAIN(TestSaltireDlg)
#include "tst_saltiredlg.moc"
