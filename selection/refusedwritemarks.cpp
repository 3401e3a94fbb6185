#include "refusedwritemarks.h"

#include "channelcheckwidget.h"
#include "channelitem.h"
#include "customcheckbox.h"
#include "deviceproblems.h"
#include "eventitem.h"

#include <QCoreApplication>
#include <QVariant>

using namespace Saltire;

namespace RefusedWriteMarks {

namespace {
const char* const kBaseToolTip = "refusedWriteBaseToolTip"; // set while a box is marked
const char* const kMarkedOnPage = "refusedWriteMarks";      // on the page: how many boxes are marked
}

void Update(QWidget* pPage)
{
    if (!pPage)
        return;
    const QList<ChannelCheckWidget*> channels = pPage->findChildren<ChannelCheckWidget*>();
    // The usual case, nothing refused and nothing marked, reads no box.
    bool bRefused = false;
    for (ChannelCheckWidget* pChannelWidget : channels)
        for (const EventItem* pEvent : qAsConst(pChannelWidget->ChannelItem()->listEvent))
            bRefused = bRefused || pEvent->nWriteError != 0;
    if (!bRefused && pPage->property(kMarkedOnPage).toInt() == 0)
        return;
    int nMarked = 0;
    for (ChannelCheckWidget* pChannelWidget : channels) {
        QList<EventItem*> shown;
        for (EventItem* pEvent : qAsConst(pChannelWidget->ChannelItem()->listEvent))
            if (pEvent->bShow)
                shown.append(pEvent);
        const QList<CustomCheckBox*>& boxes = pChannelWidget->EventCheckBoxes();
        for (int k = 0; k < boxes.size() && k < shown.size(); ++k) {
            CustomCheckBox* pBox = boxes.at(k);
            const QVariant base = pBox->property(kBaseToolTip);
            const int nError = shown.at(k)->nWriteError;
            if (nError == 0) {
                if (base.isValid()) {
                    pBox->setToolTip(base.toString());
                    pBox->setProperty(kBaseToolTip, QVariant());
                    pBox->cSetFontColor(QStringLiteral("#323A47"), IS_Normal);
                }
                continue;
            }
            if (!base.isValid()) {
                pBox->setProperty(kBaseToolTip, pBox->toolTip());
                pBox->cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
            }
            pBox->setToolTip(pBox->property(kBaseToolTip).toString() + QLatin1Char('\n')
                             + QCoreApplication::translate("RefusedWriteMarks", "Not applied: %1")
                                   .arg(DeviceProblems::CodeText(nError)));
            ++nMarked;
        }
    }
    pPage->setProperty(kMarkedOnPage, nMarked);
}

} // namespace RefusedWriteMarks
