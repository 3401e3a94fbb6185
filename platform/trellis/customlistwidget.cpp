#include "customlistwidget.h"

CustomListWidget::CustomListWidget(QWidget* parent)
    : QListWidget(parent)
    , CustomObject(this)
{
    cSetStockStyle(QStringLiteral("Trellis_ListWidget"));
}

CustomListWidget::~CustomListWidget() = default;
