// The text that the notification-area icon shows when the pointer rests on it.
#pragma once

#include <cstdint>
#include <string>

#include "keys/TargetWatch.h"

// What keeps received bytes from being typed at the moment, and what was lost since Open.
struct TipStatus {
    // The port that waits for its device; empty when none does.
    std::wstring waitingPort;
    // Why the typing waits for the window in front; None when it does not.
    TargetWait typingWait = TargetWait::None;
    // Bytes read that did not fit the typing queue while the typing waited.
    std::uint64_t lostBytes = 0;
    // How often the serial driver found that it had lost bytes before they were read.
    std::uint32_t driverOverruns = 0;

    bool operator==(const TipStatus& other) const {
        return waitingPort == other.waitingPort && typingWait == other.typingWait && lostBytes == other.lostBytes &&
               driverOverruns == other.driverOverruns;
    }
};

// "Serial to Keyboard", followed by what was lost and what keeps the typing back, if anything:
// "Serial to Keyboard – COM12: waiting for the device",
// "Serial to Keyboard – 1200 received bytes lost; waiting: the window in front runs as administrator".
// The shell shows 127 characters: of what does not fit, the least important goes.
std::wstring NotificationTip(const TipStatus& status);
