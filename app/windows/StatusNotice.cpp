// Tells the settings window, from whichever thread notices, what keeps the typing back.
#include "app/windows/StatusNotice.h"

#include "keys/windows/SystemError.h"

void StatusNotice::Attach(HWND window, UINT message) {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = window;
    message_ = message;
}

TipStatus StatusNotice::Status() {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_ = false;
    return status_;
}

void StatusNotice::ForgetLosses() {
    Update([](TipStatus& status) {
        status.lostBytes = 0;
        status.driverOverruns = 0;
    });
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

void StatusNotice::DriverOverran() {
    Update([](TipStatus& status) { ++status.driverOverruns; });
}

void StatusNotice::BytesLost(std::size_t count) {
    Update([&](TipStatus& status) { status.lostBytes += count; });
}

template <typename Change>
void StatusNotice::Update(Change change) {
    std::lock_guard<std::mutex> lock(mutex_);
    const TipStatus before = status_;
    change(status_);
    if (status_ == before) return;
    // Posted, never sent: the caller may be another thread that holds a lock the window's
    // thread is waiting for. One at a time: bytes lost at full speed would flood the window's
    // queue. A notice that cannot be posted leaves the tip as it is until the next.
    if (!window_ || posted_) return;
    posted_ = PostMessageW(window_, message_, 0, 0) != FALSE;
    if (!posted_) TraceFailedCall(L"PostMessage(status)");
}
