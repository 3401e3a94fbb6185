#include "customlabel.h"

CustomLabel::CustomLabel(QWidget* parent)
    : QLabel(parent)
    , CustomObject(this)
{
    cSetStockStyle(QStringLiteral("Trellis_Label"));
}

CustomLabel::~CustomLabel() = default;
