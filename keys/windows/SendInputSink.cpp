// Key events put into the system's input stream with SendInput, each call's events as one piece (Windows).
#include "keys/windows/SendInputSink.h"

#include <string>

#include "keys/windows/SystemError.h"

void SendInputSink::Send(const KeyEvents& events) {
    const UINT taken = Insert(events);
    if (taken == events.size()) return;
    // Another program's input can block ours. What the part that went in pressed must not stay
    // down for the whole system.
    const std::wstring call = L"SendInput (" + std::to_wstring(taken) + L" of " + std::to_wstring(events.size()) +
                              L" key events taken; the keys left down are released)";
    TraceFailedCall(call.c_str());
    Insert(ReleasesOfKeysLeftDown(events, taken));
}

UINT SendInputSink::Insert(const KeyEvents& events) {
    if (events.empty()) return 0;
    inputs_.assign(events.size(), INPUT{});
    for (std::size_t i = 0; i < events.size(); ++i) {
        KEYBDINPUT& key = inputs_[i].ki;
        inputs_[i].type = INPUT_KEYBOARD;
        key.wVk = events[i].virtualKey;
        key.wScan = events[i].scanCode;
        key.dwFlags = events[i].flags;
        key.dwExtraInfo = events[i].extraInfo;
    }
    return SendInput(static_cast<UINT>(inputs_.size()), inputs_.data(), sizeof(INPUT));
}
