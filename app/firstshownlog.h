#pragma once

#include <QObject>

class QWidget;

// Writes "Main window shown" to the log once, when the window is first on the screen (exposed): the
// moment a user sees the tool, for telling start-up time apart from what comes after it (discovery, the
// first device read).
class FirstShownLog : public QObject
{
    Q_OBJECT

public:
    // After pWindow->show(), so that its native window exists.
    static void Watch(QWidget* pWindow);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    using QObject::QObject;
};
