// Whether the keyboard focus is in one of this program's windows (Windows).
#include "app/windows/OwnWindowFocus.h"

#include <windows.h>

// Synthesized keys go to the focus of the window in front; every window of the program, the
// settings window, the About box and the message boxes, belongs to this process.
bool OwnWindowFocus::OwnWindowHasFocus() {
    HWND front = GetForegroundWindow();
    if (!front) return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(front, &processId);
    return processId == GetCurrentProcessId();
}
