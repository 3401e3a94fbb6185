#include "custommenu.h"

CustomMenu::CustomMenu(QWidget* parent)
    : QMenu(parent)
    , CustomObject(this)
{
    cSetStockStyle(QStringLiteral("Trellis_Menu"));
}

CustomMenu::~CustomMenu() = default;
