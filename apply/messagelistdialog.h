#pragma once

#include "custommainwindow.h"

#include <QList>

class QScrollArea;

namespace Saltire {
struct EventTypeItem;
struct IOTypeItem;
}

// The list of a device's groups: type 1 the events enabled on the device, type 0 what failed in the
// last apply. Reads the model, changes nothing; run with exec().
class MessageListDialog : public CustomMainWindow
{
    Q_OBJECT
public:
    MessageListDialog(int nListType, const QList<Saltire::EventTypeItem*>& eventTypes, QWidget* parent);

    // Whether a group gets a block in the current list type.
    static bool HasContent(Saltire::EventTypeItem* pEventType, Saltire::IOTypeItem* pIOType);

    // The list type of the last dialog made; 1 before any.
    static int s_nListType;

private:
    QScrollArea* m_pScrollArea = nullptr;
};
