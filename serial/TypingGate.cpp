// Whole strokes only: each piece of strokes is typed or skipped as one, decided before it goes.
#include "serial/TypingGate.h"

#include <chrono>

namespace {

// How often a held piece looks again whether it may go: the typing goes on
// this soon after the window in front can take it again.
constexpr std::chrono::milliseconds HeldCheckInterval{50};
// One read's worth of bytes a piece: one look at the window in front for up to this many
// strokes, as the platform puts a piece into the input stream whole.
constexpr std::size_t BytesPerPiece = 20;

}  // namespace

TypingGate::TypingGate(TypingQueue& queue, KeyEventSink& keys, TargetWatch& target, Sleeper& sleeper,
                       TypingListener& listener)
    : queue_(queue), keys_(keys), target_(target), sleeper_(sleeper), listener_(listener) {}

void TypingGate::Run() {
    while (TypeNext()) {
    }
}

bool TypingGate::TypeNext() {
    TypingQueue::Taken taken;
    if (!queue_.Take(piece_, BytesPerPiece, taken)) return false;
    // After a pause the user may have switched the layout or Caps Lock.
    bool refreshLayout = taken.afterPause;
    std::unique_lock<std::mutex> lock(mutex_);
    if (!PieceMayGo(lock, taken.generation, refreshLayout)) return !stopped_;
    // Bytes after a drop begin a new stream: what an earlier read left unfinished is not theirs.
    if (taken.generation != decodedGeneration_) {
        decoder_.Reset();
        decodedGeneration_ = taken.generation;
    }
    characters_.clear();
    decoder_.Decode(piece_.data(), piece_.size(), characters_);
    events_.clear();
    if (layout_) {
        if (refreshLayout) layout_->Update();
        AppendCharacterStrokes(events_, *layout_, characters_.data(), characters_.size());
    } else {
        AppendKeyTableStrokes(events_, characters_.data(), characters_.size());
    }
    if (!events_.empty()) keys_.Send(events_);
    return true;
}

void TypingGate::Hold() {
    ++holds_;
    std::lock_guard<std::mutex> lock(mutex_);
}

void TypingGate::Release() { --holds_; }

void TypingGate::DropUntyped() { queue_.Drop(); }

void TypingGate::Stop() {
    stopped_ = true;
    queue_.Stop();
    std::lock_guard<std::mutex> lock(mutex_);
}

bool TypingGate::PieceMayGo(std::unique_lock<std::mutex>& lock, std::uint64_t generation, bool& refreshLayout) {
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
        if (stopped_ || !queue_.IsCurrent(generation)) {
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
