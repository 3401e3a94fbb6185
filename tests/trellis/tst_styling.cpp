#include "custom.h"
#include "customcheckbox.h"
#include "customlabel.h"
#include "custompushbutton.h"
#include "customstyleregistry.h"
#include "customwidget.h"

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
        QCOMPARE(label.cFont(IS_Normal).weight(), int(QFont::Bold));
        QCOMPARE(label.cFont(IS_Normal).pixelSize(), 19);
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

    // Boxes that keep their rules in a holder look as boxes with sheets of their own: shown, ticked, and
    // after a setter changed one of them once it was shown. The holder parses one copy of alike rules.
    void sharedRulesLookTheSame()
    {
        CustomWidget holder;
        holder.cMarkStyleHolder();
        holder.cSetBackgroundColor(QStringLiteral("#F7F8FA"));
        holder.resize(400, 100);
        auto makeBox = [&](int nRow) {
            auto* pBox = new CustomCheckBox(&holder, SS_Second);
            QFont font = pBox->cFont(IS_Normal);
            font.setWeight(75);
            pBox->cSetFont(font, IS_Normal);
            pBox->cSetFontColor(QStringLiteral("#323A47"), IS_Normal);
            pBox->setText(QStringLiteral("Exposure Start"));
            pBox->setGeometry(10, 10 + 30 * nRow, 150, 24);
            return pBox;
        };
        CustomCheckBox* own = makeBox(0);
        CustomCheckBox* shared = makeBox(1);
        CustomCheckBox* other = makeBox(2);
        for (CustomCheckBox* pBox : {shared, other})
            pBox->cShareStyleIn(CustomQssHelper::cStyleHolderOf(pBox->parentWidget()));
        QVERIFY(shared->styleSheet().isEmpty() && other->styleSheet().isEmpty());
        QCOMPARE(shared->property("trellisShared"), other->property("trellisShared")); // one copy for both
        holder.show();
        QVERIFY(QTest::qWaitForWindowExposed(&holder));
        QCOMPARE(shared->grab().toImage(), own->grab().toImage());
        for (CustomCheckBox* pBox : {own, shared})
            pBox->setChecked(true);
        QCOMPARE(shared->grab().toImage(), own->grab().toImage());
        for (CustomCheckBox* pBox : {own, shared})
            pBox->cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
        QCOMPARE(shared->grab().toImage(), own->grab().toImage());
        QVERIFY(shared->grab().toImage() != other->grab().toImage()); // the other keeps its colour
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
