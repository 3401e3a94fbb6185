#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Writes "Main window shown" to the log once, when the window is first on the screen (exposed): the
// moment a user sees the tool, for telling start-up time apart from what comes after it (discovery, the
// first device read).
class FirstShownLog : public QObject
{
    Q_OBJECT

public:
    // After pWindow->show(), so that its native window exists. fnThen runs once the window is on the
    // screen (and painted), for what need not delay it.
    static void Watch(QWidget* pWindow, std::function<void()> fnThen = {});

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    FirstShownLog(QObject* pParent, std::function<void()> fnThen);
    static void Shown(const std::function<void()>& fnThen);

    std::function<void()> m_fnThen;
};
