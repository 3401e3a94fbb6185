#include "customcheckbox.h"

CustomCheckBox::CustomCheckBox(QWidget* parent, StyleSelector selector)
    : QCheckBox(parent)
    , CustomObject(this)
{
    cSetStockStyle(QStringLiteral("Trellis_CheckBox_%1").arg(int(selector)));
}

CustomCheckBox::~CustomCheckBox() = default;

void CustomCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}
