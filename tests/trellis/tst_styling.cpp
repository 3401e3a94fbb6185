#include "custom.h"
#include "customcheckbox.h"
#include "customcombobox.h"
#include "customlabel.h"
#include "custompushbutton.h"
#include "customstyleregistry.h"
#include "customwidget.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QResource>
#include <QtTest>

class TestStyling : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QResource::registerResource(QStringLiteral(SALTIRE_RUNTIME_DIR "/rcc/Trellis_Default.rcc")));
        QVERIFY(Custom::addXmlPath(QFINDTESTDATA("../data/teststyles.xml")));
    }

    void settersReachTheWidget_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QRgb>("expectedPixel");
        QTest::newRow("background") << "background" << "#336699" << qRgb(0x33, 0x66, 0x99);
        QTest::newRow("background with alpha first") << "background" << "#FF102030" << qRgb(0x10, 0x20, 0x30);
        QTest::newRow("border") << "border" << "#F76900" << qRgb(0xF7, 0x69, 0x00);
    }

    void settersReachTheWidget()
    {
        QFETCH(QString, what);
        QFETCH(QString, value);
        QFETCH(QRgb, expectedPixel);
        CustomWidget widget;
        widget.resize(40, 40);
        widget.cSetBackgroundColor(QStringLiteral("#FFFFFF"));
        if (what == QLatin1String("background")) {
            widget.cSetBackgroundColor(value);
        } else {
            widget.cSetBorderWidth(3, BE_All);
            widget.cSetBorderColor(value, BE_All);
        }
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        const QImage image = widget.grab().toImage();
        QCOMPARE(QColor(image.pixel(1, 20)).rgb(), QColor(expectedPixel).rgb());
    }

    void fontSettersChangeTheFont()
    {
        CustomLabel label;
        label.setText(QStringLiteral("Text"));
        label.cSetFontSize(19);
        label.cSetFontColor(QStringLiteral("#52535E"));
        QFont bold = label.cFont(IS_Normal);
        bold.setWeight(QFont::Bold);
        label.cSetFont(bold);
        label.ensurePolished();
        QCOMPARE(label.font().pixelSize(), 19);
        QCOMPARE(label.font().weight(), int(QFont::Bold));
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(QStringLiteral("#52535E")));
    }

    void stateRulesApplyToTheirStateOnly()
    {
        CustomPushButton button;
        button.cSetFontColor(QStringLiteral("#C4C4C4"), IS_Normal);
        button.cSetFontColor(QStringLiteral("#FF7500"), IS_Hover);
        button.ensurePolished();
        QCOMPARE(button.palette().color(QPalette::ButtonText), QColor(QStringLiteral("#C4C4C4")));
        QVERIFY(button.styleSheet().contains(QStringLiteral(":hover{color:#FF7500;}")));
        QCOMPARE(button.cStyleValue(QStringLiteral("color"), IS_Hover), QStringLiteral("#FF7500"));
    }

    void invalidValuesAreIgnored_data()
    {
        QTest::addColumn<QString>("color");
        QTest::newRow("no hash") << "FF0000";
        QTest::newRow("name") << "red";
        QTest::newRow("short") << "#FFF";
        QTest::newRow("garbage") << "#GG0000";
    }

    void invalidValuesAreIgnored()
    {
        QFETCH(QString, color);
        CustomWidget widget;
        widget.cSetBackgroundColor(QStringLiteral("#010203"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Ignoring background colour")));
        widget.cSetBackgroundColor(color);
        QCOMPARE(widget.cStyleValue(QStringLiteral("background-color")), QStringLiteral("#010203"));
    }

    void rulesDoNotLeakToChildren()
    {
        CustomWidget parent;
        parent.cSetFontColor(QStringLiteral("#FF0000"));
        auto* pChild = new CustomLabel(&parent);
        parent.ensurePolished();
        pChild->ensurePolished();
        QVERIFY(pChild->palette().color(QPalette::WindowText) != QColor(QStringLiteral("#FF0000")));
    }

    // Alike boxes under a holder are drawn after one of them, the prototype, which alone has their rules.
    // Each looks as a box with a sheet of its own under a parent of the same look: shown, ticked, marked red
    // once shown, disabled, and after the prototype is deleted. The click area is the same too.
    void boxesDrawnAfterAPrototypeLookTheSame_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("shown") << "";
        QTest::newRow("ticked") << "tick";
        QTest::newRow("partial") << "partial";
        QTest::newRow("red once shown") << "red";
        QTest::newRow("disabled") << "disable";
        QTest::newRow("prototype deleted") << "delete prototype";
    }

    void boxesDrawnAfterAPrototypeLookTheSame()
    {
        QFETCH(QString, change);
        CustomWidget window;
        window.resize(400, 160);
        auto makeParent = [&](int nX) {
            auto* pParent = new CustomWidget(&window);
            pParent->cSetBackgroundColor(QStringLiteral("#F7F8FA"));
            pParent->setGeometry(nX, 0, 200, 160);
            return pParent;
        };
        CustomWidget* pOwnParent = makeParent(0);
        CustomWidget* pHolder = makeParent(200);
        pHolder->cMarkStyleHolder();
        auto makeBox = [](QWidget* pParent, int nRow) {
            auto* pBox = new CustomCheckBox(pParent, SS_Second);
            QFont font = pBox->cFont(IS_Normal);
            font.setWeight(75);
            pBox->cSetFont(font, IS_Normal);
            pBox->cSetFontColor(QStringLiteral("#323A47"), IS_Normal);
            pBox->setText(QStringLiteral("Exposure Start"));
            pBox->setGeometry(10, 10 + 30 * nRow, 150, 24);
            return pBox;
        };
        CustomCheckBox* own = makeBox(pOwnParent, 1);
        CustomCheckBox* prototype = makeBox(pHolder, 0);
        CustomCheckBox* drawn = makeBox(pHolder, 1);
        CustomCheckBox* other = makeBox(pHolder, 2);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // One copy of the rules, matched by one box.
        QVERIFY(!prototype->styleSheet().isEmpty() && prototype->property("trellisShared").isValid());
        for (CustomCheckBox* pBox : {drawn, other})
            QVERIFY(pBox->styleSheet().isEmpty() && !pBox->property("trellisShared").isValid());

        if (change == QLatin1String("tick") || change == QLatin1String("partial")) {
            for (CustomCheckBox* pBox : {own, drawn})
                pBox->setCheckState(change == QLatin1String("tick") ? Qt::Checked : Qt::PartiallyChecked);
        } else if (change == QLatin1String("red")) {
            for (CustomCheckBox* pBox : {own, drawn})
                pBox->cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
        } else if (change == QLatin1String("disable")) {
            for (CustomCheckBox* pBox : {own, drawn})
                pBox->setEnabled(false);
        } else if (change == QLatin1String("delete prototype")) {
            delete prototype;
            other->setChecked(true);
        }
        auto look = [&window](QWidget* pBox) {
            return window.grab(QRect(pBox->mapTo(&window, QPoint()), pBox->size())).toImage();
        };
        QTRY_COMPARE(look(drawn), look(own));
        if (change == QLatin1String("red"))
            QVERIFY(look(other) != look(drawn)); // the other keeps its colour
        if (change == QLatin1String("delete prototype"))
            QVERIFY(!drawn->styleSheet().isEmpty()); // the next one took over when it was drawn
        QCOMPARE(drawn->sizeHint(), own->sizeHint());

        // Clicks on the indicator, the text and beside them reach both boxes alike.
        QSignalSpy ownSpy(own, &QCheckBox::stateChanged);
        QSignalSpy drawnSpy(drawn, &QCheckBox::stateChanged);
        for (const QPoint& point : {QPoint(8, 12), QPoint(60, 12), QPoint(148, 12), QPoint(60, 1)}) {
            QTest::mouseClick(own, Qt::LeftButton, {}, point);
            QTest::mouseClick(drawn, Qt::LeftButton, {}, point);
            QCOMPARE(drawnSpy.count(), ownSpy.count());
            QCOMPARE(drawn->checkState(), own->checkState());
        }
        QCOMPARE(drawnSpy.count() > 0, drawn->isEnabled());
    }

    void namedStylesResolve()
    {
        CustomLabel label;
        label.cSetStyleSelector(QStringLiteral("Test_Green"));
        label.ensurePolished();
        QCOMPARE(label.font().pixelSize(), 17);
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(QStringLiteral("#112233")));
        // Own setters win over the named style.
        label.cSetFontSize(11);
        label.ensurePolished();
        QCOMPARE(label.font().pixelSize(), 11);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Unknown style name")));
        label.cSetStyleSelector(QStringLiteral("No_Such_Style"));
        QCOMPARE(label.cStyleSelector(), QStringLiteral("No_Such_Style"));
    }

    void brokenXmlKeepsRegisteredStyles()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not loaded")));
        QVERIFY(!Custom::addXmlPath(QFINDTESTDATA("../data/brokenstyles.xml")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not loaded")));
        QVERIFY(!Custom::addXmlPath(QStringLiteral("/no/such/file.xml")));
        QVERIFY(CustomStyleRegistry::instance().hasStyle(QStringLiteral("Test_Green")));
        QVERIFY(!CustomStyleRegistry::instance().hasStyle(QStringLiteral("Test_Broken")));
        QCOMPARE(Custom::styleSheet(StyleSheetType(42)), QStringLiteral("QWidget{color:#123456;}"));
    }

    void stockLooksComeFromTheLibraryResource()
    {
        QVERIFY(Custom::styleSheet(SST_ScrollArea).contains(QStringLiteral("QScrollBar")));
        QVERIFY(CustomStyleRegistry::instance().hasStyle(QStringLiteral("Trellis_CheckBox_1")));
        CustomCheckBox box(nullptr, SS_Second);
        QVERIFY(box.styleSheet().contains(QStringLiteral("checkbox_checked.png")));

        // A selector's drop-down is a plain list view (the style sheet reaches its items), made when it opens.
        CustomComboBox combo(nullptr, SS_Third, false);
        combo.addItems({QStringLiteral("Guru"), QStringLiteral("Recommended")});
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        combo.showPopup();
        QCOMPARE(QByteArray(combo.view()->metaObject()->className()), QByteArray("QListView"));
        QTRY_VERIFY(combo.view()->isVisible());
        combo.hidePopup();
    }

    void checkBoxClicksNeverGivePartial_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("afterClick");
        QTest::newRow("unchecked") << int(Qt::Unchecked) << int(Qt::Checked);
        QTest::newRow("partial") << int(Qt::PartiallyChecked) << int(Qt::Checked);
        QTest::newRow("checked") << int(Qt::Checked) << int(Qt::Unchecked);
    }

    void checkBoxClicksNeverGivePartial()
    {
        QFETCH(int, start);
        QFETCH(int, afterClick);
        CustomCheckBox box(nullptr, SS_Second);
        box.setText(QStringLiteral("Event"));
        box.setCheckState(Qt::CheckState(start));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy spy(&box, &QCheckBox::stateChanged);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
        QCOMPARE(int(box.checkState()), afterClick);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestStyling)
#include "tst_styling.moc"
