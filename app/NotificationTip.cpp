// The text that the notification-area icon shows when the pointer rests on it.
#include "app/NotificationTip.h"

#include <vector>

namespace {

// The shell's tip holds this many characters.
constexpr std::size_t TipLength = 127;

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

std::wstring Losses(const TipStatus& status) {
    if (status.lostBytes == 0)
        return status.driverOverruns == 0 ? L"" : L"received bytes lost by the serial driver";
    return std::to_wstring(status.lostBytes) + L" received bytes lost" +
           (status.driverOverruns == 0 ? L"" : L", and more by the serial driver");
}

}  // namespace

std::wstring NotificationTip(const TipStatus& status) {
    // The most important first: a loss cannot be undone, a wait ends by itself.
    std::vector<std::wstring> parts;
    if (const std::wstring lost = Losses(status); !lost.empty()) parts.push_back(lost);
    if (!status.waitingPort.empty()) parts.push_back(status.waitingPort + L": waiting for the device");
    if (const wchar_t* why = WhyTypingWaits(status.typingWait)) parts.push_back(why);

    std::wstring tip = L"Serial to Keyboard";
    const wchar_t* separator = L" \u2013 ";
    for (const std::wstring& part : parts) {
        if (tip.size() + 3 + part.size() > TipLength) break;
        tip += separator + part;
        separator = L"; ";
    }
    return tip;
}
