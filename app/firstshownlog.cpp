#include "firstshownlog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

FirstShownLog::FirstShownLog(QObject* pParent, std::function<void()> fnThen)
    : QObject(pParent)
    , m_fnThen(std::move(fnThen))
{
}

void FirstShownLog::Watch(QWidget* pWindow, std::function<void()> fnThen)
{
    QWindow* pHandle = pWindow ? pWindow->windowHandle() : nullptr;
    if (!pHandle) {
        if (fnThen)
            fnThen();
        return;
    }
    if (pHandle->isExposed()) { // already, on a platform that exposes at once
        Shown(fnThen);
        return;
    }
    pHandle->installEventFilter(new FirstShownLog(pHandle, std::move(fnThen)));
}

// The exposure is handled (and the window painted) before the event loop takes up queued work.
void FirstShownLog::Shown(const std::function<void()>& fnThen)
{
    qInfo("Main window shown");
    if (fnThen)
        QTimer::singleShot(0, QCoreApplication::instance(), fnThen);
}

bool FirstShownLog::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    auto* pHandle = qobject_cast<QWindow*>(pWatched);
    if (pEvent->type() == QEvent::Expose && pHandle && pHandle->isExposed()) {
        Shown(m_fnThen);
        pHandle->removeEventFilter(this);
        deleteLater();
    }
    return QObject::eventFilter(pWatched, pEvent);
}
