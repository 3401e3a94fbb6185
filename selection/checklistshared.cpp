#include "checklistshared.h"

#include "customcheckbox.h"
#include "customlinewidget.h"
#include "nxinterface.h"

#include <QCoreApplication>

int g_nColumnCount = 1;
int g_nEventCheckBoxWidth = 150;

CustomCheckBox* CreateCheckBox(const QString& strName, int nValue, QWidget* parent)
{
    auto* pBox = new CustomCheckBox(parent, SS_Second);
    QFont font = pBox->cFont(IS_Normal);
    font.setWeight(75);
    pBox->cSetFont(font, IS_Normal);
    pBox->cSetFontColor(QStringLiteral("#323A47"), IS_Normal);
    pBox->setFixedHeight(24);
    pBox->setToolTip(QCoreApplication::translate("CheckListWidget", "%1 : %2").arg(strName).arg(nValue));
    return pBox;
}

CustomLineWidget* CreateSeparator(QWidget* parent)
{
    auto* pLine = new CustomLineWidget(parent);
    pLine->cSetLineType(LT_Horizontal);
    pLine->setFixedHeight(1);
    pLine->cSetBackgroundColor(QStringLiteral("#D8D8D8"), IS_Normal);
    pLine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return pLine;
}

bool IsChineseLanguage()
{
    return NXInterface::language(false) == QLatin1String("CH");
}
