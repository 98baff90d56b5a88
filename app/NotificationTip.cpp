// The text that the notification-area icon shows when the pointer rests on it.
#include "app/NotificationTip.h"

std::wstring NotificationTip(const std::wstring& waitingPort) {
    std::wstring tip = L"Serial to Keyboard";
    if (!waitingPort.empty()) tip += L" \u2013 " + waitingPort + L": waiting for the device";
    return tip;
}
