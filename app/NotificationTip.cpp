// The text that the notification-area icon shows when the pointer rests on it.
#include "app/NotificationTip.h"

namespace {

// Why the typing waits, in the user's words. The program's own window in front needs no words:
// the user is looking at it.
const wchar_t* WhyTypingWaits(TargetWait why) {
    switch (why) {
        case TargetWait::NoWindow: return L"waiting: no window has the focus";
        case TargetWait::Elevated: return L"waiting: the window in front runs as administrator";
        case TargetWait::Unknown: return L"waiting: the window in front may run as administrator";
        case TargetWait::ModifierHeld: return L"waiting: Shift, Ctrl, Alt or Windows key held down";
        case TargetWait::None:
        case TargetWait::OwnWindow: break;
    }
    return nullptr;
}

}  // namespace

std::wstring NotificationTip(const TipStatus& status) {
    std::wstring tip = L"Serial to Keyboard";
    const wchar_t* separator = L" \u2013 ";
    if (!status.waitingPort.empty()) {
        tip += separator + status.waitingPort + L": waiting for the device";
        separator = L"; ";
    }
    if (const wchar_t* why = WhyTypingWaits(status.typingWait)) tip += separator + std::wstring(why);
    return tip;
}
