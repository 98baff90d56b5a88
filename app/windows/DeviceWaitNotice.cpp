// Tells the settings window, from whichever thread notices, whether the port waits for its device.
#include "app/windows/DeviceWaitNotice.h"

#include "serial/windows/SystemError.h"

void DeviceWaitNotice::Attach(HWND window, UINT message) {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    message_ = message;
}

std::wstring DeviceWaitNotice::WaitingPort() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return waitingPort_;
}

void DeviceWaitNotice::WaitingForDevice(const std::wstring& portName) { Change(portName); }

void DeviceWaitNotice::DeviceWaitEnded() { Change(L""); }

void DeviceWaitNotice::Change(const std::wstring& waitingPort) {
    std::lock_guard<std::mutex> lock(mutex_);
    waitingPort_ = waitingPort;
    // Posted, never sent: the caller may be another thread that holds a lock the window's
    // thread is waiting for. A notice that cannot be posted leaves the tip as it is until the next.
    if (window_ && !PostMessageW(window_, message_, 0, 0)) TraceFailedCall(L"PostMessage(device wait)");
}
