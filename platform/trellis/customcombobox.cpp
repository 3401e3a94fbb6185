#include "customcombobox.h"

#include <QListView>

CustomComboBox::CustomComboBox(QWidget* parent, StyleSelector selector, bool bEditable)
    : QComboBox(parent)
    , CustomObject(this)
{
    setEditable(bEditable);
    // A plain list view lets the style sheet reach the drop-down items.
    setView(new QListView(this));
    cSetStockStyle(QStringLiteral("Trellis_ComboBox_%1").arg(int(selector)));
}

CustomComboBox::~CustomComboBox() = default;
