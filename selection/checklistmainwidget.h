#pragma once

#include "customwidget.h"

#include <QList>

class CheckListLeftWidget;
class CheckListRightWidget;
class CustomLabel;
class QScrollArea;

namespace Saltire {
struct EventTypeItem;
}

// The event page of one device: the group list on the left, the check panel in a scroll area on the
// right, kept in step; or, for a device without events, an image and "No data.".
class CheckListMainWidget : public CustomWidget
{
    Q_OBJECT
public:
    CheckListMainWidget(int nUserLevel, const QList<Saltire::EventTypeItem*>& eventTypes, QWidget* parent);

    void SetUserLevel(int nLevel);
    void SetAllChecked(bool bChecked);
    void UpdateCheckState();

    CheckListLeftWidget* LeftWidget() const { return m_pLeftWidget; }
    CheckListRightWidget* RightWidget() const { return m_pRightWidget; }
    QScrollArea* ScrollArea() const { return m_pScrollArea; }

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private slots:
    void OnListRowChanged(int nRow);
    void OnScrollValueChanged(int nValue);

private:
    void UpdateAvailability(int nLevel);
    void BuildPage();
    void BuildEmptyPage();

    QList<Saltire::EventTypeItem*> m_eventTypes;
    QScrollArea* m_pScrollArea = nullptr;
    CheckListRightWidget* m_pRightWidget = nullptr;
    CheckListLeftWidget* m_pLeftWidget = nullptr;
    CustomLabel* m_pEmptyLabel = nullptr;
};
