// Whole strokes only: each piece of strokes is typed or skipped as one, decided before it goes.
#include "serial/TypingGate.h"

#include <algorithm>
#include <chrono>

namespace {

// How often a held piece looks again whether it may go: the typing goes on
// this soon after the window in front can take it again.
constexpr std::chrono::milliseconds HeldCheckInterval{50};
// One read's worth of bytes a piece: one look at the window in front for up to this many
// strokes, as the platform puts a piece into the input stream whole.
constexpr std::uint32_t BytesPerPiece = 20;

}  // namespace

TypingGate::TypingGate(KeyEventSink& keys, TargetWatch& target, Sleeper& sleeper, TypingListener& listener)
    : keys_(keys), target_(target), sleeper_(sleeper), listener_(listener) {}

void TypingGate::StartBatch() { dropsBeforeBatch_ = drops_; }

void TypingGate::Type(const std::uint8_t* bytes, std::uint32_t count) {
    // A batch comes after a pause in which the user may have switched the layout or Caps Lock.
    bool refreshLayout = true;
    for (std::uint32_t done = 0; done < count;) {
        const std::uint32_t piece = std::min(count - done, BytesPerPiece);
        std::unique_lock<std::mutex> lock(mutex_);
        if (!PieceMayGo(lock, refreshLayout)) return;
        events_.clear();
        if (layout_) {
            if (refreshLayout) layout_->Update();
            AppendCharacterStrokes(events_, *layout_, bytes + done, piece);
        } else {
            AppendKeyTableStrokes(events_, bytes + done, piece);
        }
        if (!events_.empty()) keys_.Send(events_);
        refreshLayout = false;
        done += piece;
    }
}

void TypingGate::Hold() {
    ++holds_;
    std::lock_guard<std::mutex> lock(mutex_);
}

void TypingGate::Release() { --holds_; }

void TypingGate::DropUntyped() { ++drops_; }

void TypingGate::Stop() {
    stopped_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
}

bool TypingGate::PieceMayGo(std::unique_lock<std::mutex>& lock, bool& refreshLayout) {
    for (;;) {
        lock.unlock();
        const TargetWatch::Look look = target_.Check();
        const bool waits = look.wait != TargetWait::None || holds_ > 0;
        Report(look.wait);
        if (waits) sleeper_.Sleep(HeldCheckInterval);
        // The keys of a window that has just come to the front, or of one the user may have
        // switched meanwhile, are chosen on its layout as it is now.
        refreshLayout = refreshLayout || look.changed || waits;
        lock.lock();
        if (stopped_ || drops_ != dropsBeforeBatch_) {
            // Nothing waits any more: what waited is gone.
            Report(TargetWait::None);
            return false;
        }
        // A hold that came while the lock was free is waited for.
        if (!waits && holds_ == 0) return true;
    }
}

void TypingGate::Report(TargetWait why) {
    if (why == reported_) return;
    reported_ = why;
    listener_.TypingWaits(why);
}
