// The bytes read and not typed yet, in order, each typed once or dropped by Open or the end.
#include "serial/TypingQueue.h"

#include <algorithm>
#include <utility>

std::uint64_t TypingQueue::Generation() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

std::size_t TypingQueue::Put(const std::uint8_t* bytes, std::size_t count, std::uint64_t generation) {
    std::size_t kept;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (generation != generation_) return 0;
        // The oldest first: a reading is typed whole or cut at its end, never missing its start.
        kept = std::min(count, bound_ - bytes_.size());
        bytes_.insert(bytes_.end(), bytes, bytes + kept);
    }
    if (kept > 0) filled_.notify_all();
    return count - kept;
}

bool TypingQueue::Take(std::vector<std::uint8_t>& bytes, std::size_t size, Taken& taken) {
    std::unique_lock<std::mutex> lock(mutex_);
    filled_.wait(lock, [this] { return stopped_ || !bytes_.empty(); });
    if (stopped_) return false;
    const std::size_t count = std::min(size, bytes_.size());
    bytes.assign(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    taken.generation = generation_;
    taken.afterPause = std::exchange(ranEmpty_, bytes_.empty());
    return true;
}

bool TypingQueue::IsCurrent(std::uint64_t generation) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation == generation_;
}

std::size_t TypingQueue::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_.size();
}

void TypingQueue::Drop() {
    std::lock_guard<std::mutex> lock(mutex_);
    bytes_.clear();
    bytes_.shrink_to_fit();
    ++generation_;
}

void TypingQueue::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
    }
    filled_.notify_all();
}
