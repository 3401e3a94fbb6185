#pragma once

#include "customwidget.h"

#include <QList>

class CustomCheckBox;
class QHBoxLayout;

namespace Saltire {
struct ChannelItem;
struct EventItem;
}

// One channel of a group: the channel's box and, right of it, the grid of its available events.
class ChannelCheckWidget : public CustomWidget
{
    Q_OBJECT
public:
    ChannelCheckWidget(Saltire::ChannelItem* pChannel, QWidget* parent);

    Saltire::ChannelItem* ChannelItem() const { return m_pChannelItem; }
    CustomCheckBox* CheckBox() const { return m_pCheckBox; }
    const QList<CustomCheckBox*>& EventCheckBoxes() const { return m_eventCheckBoxes; }

    // Lays the available events out in g_nColumnCount columns of g_nEventCheckBoxWidth.
    void RebuildEvents();
    // The channel's state from its available events, into the model and the box.
    void UpdateChannelState();
    // Every box from the model, without cascading.
    void UpdateCheckState();

signals:
    void SigCheckChanged();

public slots:
    void OnChannelStateChanged(int nState);
    void OnEventStateChanged(int nState);

private:
    QList<Saltire::EventItem*> AvailableEvents() const;
    void SetChannelBoxQuietly(int nState);
    void SetEventBoxQuietly(CustomCheckBox* pBox, int nState);

    Saltire::ChannelItem* m_pChannelItem = nullptr;
    CustomCheckBox* m_pCheckBox = nullptr;
    QList<CustomCheckBox*> m_eventCheckBoxes;
    QList<Saltire::EventItem*> m_boxEvents; // the events the boxes stand for, to keep them over a new grid
    QHBoxLayout* m_pRowLayout = nullptr;
    CustomWidget* m_pEventContainer = nullptr;
};
