#pragma once

#include "trellis_global.h"

#include <QEvent>

// Posted to the main dialog when a registered hot key is pressed.
class TRELLIS_EXPORT HotKeyEvent : public QEvent
{
public:
    static constexpr QEvent::Type kType = QEvent::Type(5097);

    explicit HotKeyEvent(int nHotKeyId);
    ~HotKeyEvent() override;

    int hotKeyId() const { return m_nHotKeyId; }

private:
    int m_nHotKeyId;
};
