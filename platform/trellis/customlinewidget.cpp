#include "customlinewidget.h"

CustomLineWidget::CustomLineWidget(QWidget* parent)
    : CustomWidget(parent)
{
    cSetStockStyle(QStringLiteral("Trellis_Line"));
    cSetLineType(LT_Horizontal);
}

CustomLineWidget::~CustomLineWidget() = default;

void CustomLineWidget::cSetLineType(LineType type)
{
    m_lineType = type;
    if (type == LT_Horizontal)
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    updateGeometry();
}

QSize CustomLineWidget::sizeHint() const
{
    return m_lineType == LT_Horizontal ? QSize(16, 1) : QSize(1, 16);
}
