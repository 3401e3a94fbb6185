#include "custom.h"
#include "customloadingdialog.h"
#include "custommainwindow.h"
#include "custommenu.h"
#include "custommessagebox.h"
#include "custompushbutton.h"
#include "customsavedonehintdlg.h"
#include "customtitlebar.h"
#include "hotkeyevent.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResource>
#include <QWindow>
#include <QtTest>

namespace {
// Records the hot-key events that reach it.
class HotKeyReceiver : public QWidget
{
public:
    QList<int> ids;

protected:
    void customEvent(QEvent* pEvent) override
    {
        if (pEvent->type() == HotKeyEvent::kType)
            ids.append(static_cast<HotKeyEvent*>(pEvent)->hotKeyId());
    }
};
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc"));
    }

    void cleanup()
    {
        Custom::setModalHandler(nullptr);
        Custom::setFileDialogHandler(nullptr);
    }

    void askAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("ok") << "cMessageOk" << 1;
        QTest::newRow("cancel") << "cMessageCancel" << 0;
        QTest::newRow("title close") << "cBtnClose" << 0;
        QTest::newRow("escape") << "escape" << 0;
    }

    void askAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(int, result);
        QString strShownText;
        Custom::setModalHandler([&](QWidget* pWindow) {
            strShownText = pWindow->findChild<QLabel*>(QStringLiteral("cMessageText"))->text();
            if (answer == QLatin1String("escape")) {
                QTest::keyClick(pWindow, Qt::Key_Escape);
                return;
            }
            auto* pButton = pWindow->findChild<QPushButton*>(answer);
            QVERIFY(pButton && pButton->isVisible());
            QTest::mouseClick(pButton, Qt::LeftButton);
        });
        QCOMPARE(CustomMessageBox::ask(nullptr, QStringLiteral("Clear the log?"), QStringLiteral("Prompt"), 3,
                                       QString(), false),
                 result);
        QCOMPARE(strShownText, QStringLiteral("Clear the log?"));
    }

    void execReturnsTheDoneCode()
    {
        CustomMainWindow window;
        window.cSetEnableButtonBar(true);
        QSignalSpy accepted(&window, &CustomMainWindow::accepted);
        Custom::setModalHandler([](QWidget* pWindow) {
            QVERIFY(pWindow->isModal());
            QTest::mouseClick(pWindow->findChild<QPushButton*>(QStringLiteral("cBtnOk")), Qt::LeftButton);
        });
        QCOMPARE(window.exec(), 1);
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.isExecuting());

        Custom::setModalHandler([](QWidget* pWindow) { pWindow->close(); });
        QCOMPARE(window.exec(), 0);
    }

    void saveDoneHintClosesItself()
    {
        CustomSaveDoneHintDlg hint(nullptr, QString(), QString());
        hint.SetMsgText(QStringLiteral("File exported."), QStringLiteral("/tmp/a.ect"), false, 50);
        QCOMPARE(hint.findChild<QLabel*>(QStringLiteral("cSaveDoneMessage"))->text(), QStringLiteral("File exported."));
        QVERIFY(hint.findChild<QPushButton*>(QStringLiteral("cSaveDoneOpenFolder"))->isHidden());
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(hint.exec(), 1);
        QVERIFY(timer.elapsed() >= 40);
    }

    void loadingIndicatorShowsAndHides()
    {
        QWidget mainDialog;
        mainDialog.resize(600, 400);
        mainDialog.show();
        Custom::setMainDialog(&mainDialog);
        QVERIFY(!CustomLoadingDialog::isLoading(0));
        CustomLoadingDialog::showLoading(QStringLiteral("Connecting the device..."), 0);
        QVERIFY(CustomLoadingDialog::isLoading(0));
        QCOMPARE(CustomLoadingDialog::loadingText(0), QStringLiteral("Connecting the device..."));
        QVERIFY(CustomLoadingDialog::indicator(0)->isModal());
        QCOMPARE(CustomLoadingDialog::indicator(0)->parentWidget(), &mainDialog);
        CustomLoadingDialog::showLoading(QStringLiteral("Applying to the device..."), 0);
        QCOMPARE(CustomLoadingDialog::loadingText(0), QStringLiteral("Applying to the device..."));
        CustomLoadingDialog::hideLoading(0);
        QVERIFY(!CustomLoadingDialog::isLoading(0));
        Custom::setMainDialog(nullptr);
    }

    void hotKeyReachesTheMainDialogOnce()
    {
        HotKeyReceiver receiver;
        auto* pChild = new QLineEdit(&receiver);
        receiver.show();
        QVERIFY(QTest::qWaitForWindowExposed(&receiver));
        Custom::setMainDialog(&receiver);
        QVERIFY(Custom::registerHotKey(7, Qt::ControlModifier, Qt::Key_C));

        // The key reaches the window, the focused child and its parent: still one event.
        pChild->setFocus();
        QWindow* pWindow = receiver.windowHandle();
        QTest::keyClick(pWindow, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(receiver.ids, QList<int>{7});
        QTest::keyClick(pWindow, Qt::Key_C);
        QTest::keyClick(pWindow, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(pWindow, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QCOMPARE(receiver.ids, QList<int>{7});

        QCOMPARE(pChild->text(), QStringLiteral("c"));
        Custom::unregisterHotKey(7);
        QTest::keyClick(pWindow, Qt::Key_C, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(receiver.ids.size(), 1);
        Custom::setMainDialog(nullptr);
    }

    void titleBarControlsAndMenus()
    {
        CustomMainWindow window;
        window.cTitleBar()->cSetTitleText(QStringLiteral("Gantry"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Gantry"));
        window.cTitleBar()->cSetTitleControls(TC_Close);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("cBtnMinimize"))->isVisible());
        QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("cBtnMaximize"))->isVisible());
        QVERIFY(window.findChild<QPushButton*>(QStringLiteral("cBtnClose"))->isVisible());

        CustomMenu menu;
        menu.addAction(QStringLiteral("Import"));
        CustomPushButton* pButton = window.cTitleBar()->cAddMenu(QStringLiteral("File"), &menu);
        QCOMPARE(pButton->text(), QStringLiteral("File"));
        QTest::mouseClick(pButton, Qt::LeftButton);
        QTRY_VERIFY(menu.isVisible());
        menu.close();

        // A double click maximises only when the window offers the maximise control.
        QTest::mouseDClick(window.cTitleBar(), Qt::LeftButton, {}, QPoint(300, 10));
        QVERIFY(!window.isMaximized());
        window.cTitleBar()->cSetTitleControls(TC_All);
        QTest::mouseDClick(window.cTitleBar(), Qt::LeftButton, {}, QPoint(300, 10));
        QTRY_VERIFY(window.isMaximized());
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cBtnClose")), Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
    }

    void stretchEdgesResizeWithinTheMinimum()
    {
        CustomMainWindow window;
        window.cSetStrechEdges(SE_Right | SE_Bottom | SE_BottomRight);
        window.cSetMinStrechSize(QSize(300, 200));
        window.resize(500, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* pFrame = window.findChild<QWidget*>(QStringLiteral("cFrame"));
        const QPoint corner(pFrame->width() - 2, pFrame->height() - 2);
        QTest::mousePress(pFrame, Qt::LeftButton, {}, corner);
        QMouseEvent move(QEvent::MouseMove, corner - QPoint(400, 400), pFrame->mapToGlobal(corner - QPoint(400, 400)),
                         Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(pFrame, &move);
        QTest::mouseRelease(pFrame, Qt::LeftButton, {}, corner - QPoint(400, 400));
        QCOMPARE(window.size(), QSize(300, 200));

        // A left edge that is not enabled does not resize.
        QTest::mousePress(pFrame, Qt::LeftButton, {}, QPoint(1, 100));
        QMouseEvent moveLeft(QEvent::MouseMove, QPoint(-50, 100), pFrame->mapToGlobal(QPoint(-50, 100)),
                             Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(pFrame, &moveLeft);
        QTest::mouseRelease(pFrame, Qt::LeftButton, {}, QPoint(-50, 100));
        QCOMPARE(window.size(), QSize(300, 200));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
