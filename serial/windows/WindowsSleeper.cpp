// Pauses with the Windows Sleep function.
#include "serial/windows/WindowsSleeper.h"

#include <windows.h>

void WindowsSleeper::Sleep(std::chrono::milliseconds duration) {
    ::Sleep(static_cast<DWORD>(duration.count()));
}
