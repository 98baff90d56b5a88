// Key events delivered to the focused window through the system's input stream (Windows).
#include "keys/windows/KeybdEventSink.h"

#include <windows.h>

void KeybdEventSink::Emit(const KeyEvent& event) {
    keybd_event(event.virtualKey, event.scanCode, event.flags, event.extraInfo);
}
