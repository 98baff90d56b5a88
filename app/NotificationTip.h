// The text that the notification-area icon shows when the pointer rests on it.
#pragma once

#include <string>

#include "keys/TargetWatch.h"

// What keeps received bytes from being typed at the moment.
struct TipStatus {
    // The port that waits for its device; empty when none does.
    std::wstring waitingPort;
    // Why the typing waits for the window in front; None when it does not.
    TargetWait typingWait = TargetWait::None;
};

// "Serial to Keyboard", followed by what keeps the typing back, if anything:
// "Serial to Keyboard – COM12: waiting for the device",
// "Serial to Keyboard – waiting: the window in front runs as administrator".
std::wstring NotificationTip(const TipStatus& status);
