#pragma once

#include "customlistwidget.h"

#include <QList>

namespace Saltire {
struct EventTypeItem;
}

// The list left of the check panel: row r stands for group r of the panel, shown or hidden.
class CheckListLeftWidget : public CustomListWidget
{
public:
    CheckListLeftWidget(const QList<Saltire::EventTypeItem*>& eventTypes, QWidget* parent);

    void AddRow(const QString& strText);
    void UpdateRows();

private:
    QList<Saltire::EventTypeItem*> m_eventTypes;
};
