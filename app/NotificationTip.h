// The text that the notification-area icon shows when the pointer rests on it.
#pragma once

#include <string>

// "Serial to Keyboard", or while the port waits for its device which port that is:
// "Serial to Keyboard – COM12: waiting for the device". `waitingPort` is empty when none waits.
std::wstring NotificationTip(const std::wstring& waitingPort);
