#include "checklistleftwidget.h"

#include "eventtypeitem.h"
#include "iotypeitem.h"

using namespace Saltire;

CheckListLeftWidget::CheckListLeftWidget(const QList<EventTypeItem*>& eventTypes, QWidget* parent)
    : CustomListWidget(parent)
    , m_eventTypes(eventTypes)
{
    setObjectName(QStringLiteral("CheckListLeftWidget"));
    cSetStyleSelector(QStringLiteral("EventList"));
    setFrameShape(QFrame::NoFrame);
    setFixedWidth(210);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setGridSize(QSize(0, 36));
    for (EventTypeItem* pType : qAsConst(m_eventTypes)) {
        if (pType->listIOType.isEmpty()) {
            AddRow(pType->strDisplayName);
            continue;
        }
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            AddRow(QStringLiteral("IO_%1").arg(pIO->strDisplayName));
    }
    UpdateRows();
}

void CheckListLeftWidget::AddRow(const QString& strText)
{
    auto* pItem = new QListWidgetItem(QStringLiteral("  ") + strText);
    pItem->setSizeHint(QSize(200, 36));
    addItem(pItem);
}

void CheckListLeftWidget::UpdateRows()
{
    int nRow = -1, nFirstShown = -1;
    auto place = [&](bool bShow) {
        ++nRow;
        if (QListWidgetItem* pItem = item(nRow))
            pItem->setHidden(!bShow);
        if (bShow && nFirstShown < 0)
            nFirstShown = nRow;
    };
    for (EventTypeItem* pType : qAsConst(m_eventTypes)) {
        if (pType->listIOType.isEmpty()) {
            place(pType->bShow);
            continue;
        }
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            place(pIO->bShow);
    }
    if (nFirstShown >= 0)
        setCurrentRow(nFirstShown);
}
