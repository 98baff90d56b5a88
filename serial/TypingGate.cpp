// Whole strokes only: each stroke is typed or skipped as one, decided before its first event.
#include "serial/TypingGate.h"

#include <chrono>

namespace {

// How often a held stroke looks again whether it may go: the typing goes on
// this soon after the focus has left the program's windows.
constexpr std::chrono::milliseconds HeldCheckInterval{50};

}  // namespace

TypingGate::TypingGate(KeyEventSink& keys, FocusWatch& focus, Sleeper& sleeper)
    : keys_(keys), focus_(focus), sleeper_(sleeper) {}

void TypingGate::StartBatch() { dropsBeforeBatch_ = drops_; }

void TypingGate::Type(const std::uint8_t* bytes, std::uint32_t count) {
    if (layout_)
        SendBytesAsCharacters(filter_, *layout_, bytes, count);
    else
        SendBytesAsKeys(filter_, bytes, count);
}

void TypingGate::Hold() {
    ++holds_;
    WaitForStrokeEnd();
}

void TypingGate::Release() { --holds_; }

void TypingGate::DropUntyped() { ++drops_; }

void TypingGate::Stop() {
    stopped_ = true;
    WaitForStrokeEnd();
}

void TypingGate::WaitForStrokeEnd() {
    std::unique_lock<std::mutex> lock(mutex_);
    strokeEnded_.wait(lock, [this] { return !strokeTyped_; });
}

void TypingGate::Pass(const KeyEvent& event) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (keysDown_.none()) strokeTyped_ = StrokeMayBegin(lock);

    keysDown_.set(event.virtualKey, (event.flags & KeyEventKeyUp) == 0);
    if (strokeTyped_) keys_.Emit(event);

    if (keysDown_.none() && strokeTyped_) {
        strokeTyped_ = false;
        strokeEnded_.notify_all();
    }
}

bool TypingGate::StrokeMayBegin(std::unique_lock<std::mutex>& lock) {
    for (;;) {
        lock.unlock();
        const bool waits = focus_.OwnWindowHasFocus() || holds_ > 0;
        if (waits) sleeper_.Sleep(HeldCheckInterval);
        lock.lock();
        // A stroke that never begins leaves no Shift or Ctrl down.
        if (stopped_ || drops_ != dropsBeforeBatch_) return false;
        // A hold that came while the lock was free is waited for.
        if (!waits && holds_ == 0) return true;
    }
}
