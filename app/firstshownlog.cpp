#include "firstshownlog.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

void FirstShownLog::Watch(QWidget* pWindow)
{
    QWindow* pHandle = pWindow ? pWindow->windowHandle() : nullptr;
    if (!pHandle)
        return;
    if (pHandle->isExposed()) { // already, on a platform that exposes at once
        qInfo("Main window shown");
        return;
    }
    pHandle->installEventFilter(new FirstShownLog(pHandle));
}

bool FirstShownLog::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    auto* pHandle = qobject_cast<QWindow*>(pWatched);
    if (pEvent->type() == QEvent::Expose && pHandle && pHandle->isExposed()) {
        qInfo("Main window shown");
        pHandle->removeEventFilter(this);
        deleteLater();
    }
    return QObject::eventFilter(pWatched, pEvent);
}
