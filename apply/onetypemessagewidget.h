#pragma once

#include "customwidget.h"

class CustomLabel;

namespace Saltire {
struct EventTypeItem;
struct IOTypeItem;
}

// One group of the list dialog: its title, then one row per channel with its events (and, in the error
// list, the error text in red). Reads the dialog's list type from MessageListDialog::s_nListType.
class OneTypeMessageWidget : public CustomWidget
{
public:
    OneTypeMessageWidget(Saltire::EventTypeItem* pEventType, Saltire::IOTypeItem* pIOType, QWidget* parent);

private:
    Saltire::EventTypeItem* m_pEventTypeItem = nullptr;
    Saltire::IOTypeItem* m_pIOTypeItem = nullptr;
};

// The label factory of the list dialog: bold dark titles, plain grey wrapped texts.
CustomLabel* CreateLabel(bool bBold, QWidget* parent);
