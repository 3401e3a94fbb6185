#include "custompushbutton.h"

CustomPushButton::CustomPushButton(QWidget* parent, StyleSelector selector)
    : QPushButton(parent)
    , CustomObject(this)
{
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
    cSetStockStyle(QStringLiteral("Trellis_PushButton_%1").arg(int(selector)));
}

CustomPushButton::~CustomPushButton() = default;
