#include "customcombobox.h"

#include <QListView>

CustomComboBox::CustomComboBox(QWidget* parent, StyleSelector selector, bool bEditable)
    : QComboBox(parent)
    , CustomObject(this)
{
    setEditable(bEditable);
    cSetStockStyle(QStringLiteral("Trellis_ComboBox_%1").arg(int(selector)));
}

CustomComboBox::~CustomComboBox() = default;

// A plain list view lets the style sheet reach the drop-down items. It is made when first needed: a
// drop-down list (with its window) for every selector would slow down the making of every window.
void CustomComboBox::showPopup()
{
    if (!m_bListView) {
        m_bListView = true;
        setView(new QListView(this));
    }
    QComboBox::showPopup();
}
