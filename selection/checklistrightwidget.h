#pragma once

#include "customwidget.h"

#include <QList>

class CustomLineWidget;
class EventTypeCheckWidget;

namespace Saltire {
struct EventTypeItem;
}

// The check panel of a device's page: one group per event type (or per IO line of an IO event type),
// separated by lines, with the event grids laid out for the panel's width.
class CheckListRightWidget : public CustomWidget
{
public:
    CheckListRightWidget(const QList<Saltire::EventTypeItem*>& eventTypes, QWidget* parent);

    const QList<EventTypeCheckWidget*>& Groups() const { return m_groups; }

    void UpdateVisibility();
    void SetAllChecked(bool bChecked);
    void UpdateCheckState();
    void UpdateColumnInfo();
    int GroupOffset(int nIndex) const;
    int GroupAt(int nPosition) const;

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    void ApplyPendingWidth();

    QList<Saltire::EventTypeItem*> m_eventTypes;
    int m_nPreWidth = 0;
    QList<EventTypeCheckWidget*> m_groups;
    QList<CustomLineWidget*> m_separators;
    int m_nPendingWidth = -1; // a width the grids still have to be laid out for
};
