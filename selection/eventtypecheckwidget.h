#pragma once

#include "customwidget.h"

#include <QList>

class ChannelCheckWidget;
class CustomCheckBox;

namespace Saltire {
struct EventTypeItem;
struct IOTypeItem;
struct RWItem;
}

// One group of the check panel: an event type without IO lines, or one IO line, with a row per channel.
class EventTypeCheckWidget : public CustomWidget
{
public:
    EventTypeCheckWidget(Saltire::EventTypeItem* pEventType, Saltire::IOTypeItem* pIOType, QWidget* parent);

    // The event type or IO line this group shows.
    Saltire::RWItem* Item() const;
    CustomCheckBox* CheckBox() const { return m_pCheckBox; }
    const QList<ChannelCheckWidget*>& ChannelWidgets() const { return m_channelWidgets; }

    // Rebuilds the grids (unless told the panel has no width yet), shows the available rows and derives
    // the group state from them.
    void UpdateVisibility(bool bRebuildGrids = true);
    // Rebuilds the grids and sets the height.
    void UpdateLayout();
    void ResizeGroup(int nWidth);
    void UpdateCheckState();

    void OnGroupStateChanged(int nState);
    void OnChannelCheckChanged();

private:
    void SetGroupState(int nState);
    void SetHeightFromRows();

    Saltire::EventTypeItem* m_pEventTypeItem = nullptr;
    Saltire::IOTypeItem* m_pIOTypeItem = nullptr;
    CustomCheckBox* m_pCheckBox = nullptr;
    QList<ChannelCheckWidget*> m_channelWidgets;
};
