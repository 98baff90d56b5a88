// Tells the settings window, from whichever thread notices, what keeps the typing back.
#include "app/windows/StatusNotice.h"

#include "keys/windows/SystemError.h"

void StatusNotice::Attach(HWND window, UINT message) {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    message_ = message;
}

TipStatus StatusNotice::Status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

void StatusNotice::WaitingForDevice(const std::wstring& portName) {
    Update([&](TipStatus& status) { status.waitingPort = portName; });
}

void StatusNotice::DeviceWaitEnded() {
    Update([](TipStatus& status) { status.waitingPort.clear(); });
}

void StatusNotice::TypingWaits(TargetWait why) {
    Update([&](TipStatus& status) { status.typingWait = why; });
}

template <typename Change>
void StatusNotice::Update(Change change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change(status_);
    // Posted, never sent: the caller may be another thread that holds a lock the window's
    // thread is waiting for. A notice that cannot be posted leaves the tip as it is until the next.
    if (window_ && !PostMessageW(window_, message_, 0, 0)) TraceFailedCall(L"PostMessage(status)");
}
