#include "hotkeyevent.h"

HotKeyEvent::HotKeyEvent(int nHotKeyId)
    : QEvent(kType)
    , m_nHotKeyId(nHotKeyId)
{
}

HotKeyEvent::~HotKeyEvent() = default;
