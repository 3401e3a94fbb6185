#include "customwidget.h"

#include <QPainter>
#include <QStyleOption>

CustomWidget::CustomWidget(QWidget* parent)
    : QWidget(parent)
    , CustomObject(this)
{
    setAttribute(Qt::WA_StyledBackground, true);
}

CustomWidget::~CustomWidget() = default;

void CustomWidget::paintEvent(QPaintEvent* pEvent)
{
    Q_UNUSED(pEvent)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
