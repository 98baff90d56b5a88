// The bytes read from the port and not typed yet: the reader puts them in, the typing takes them out.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

// Reading never waits for the typing: while the typing waits (the program's own window in front,
// a key held, a window with more rights), the queue takes what the port delivers, up to its bound,
// so that the driver's own queue never overflows.
class TypingQueue {
public:
    // Minutes of a device that streams at 115200 baud (about 11.5 KB a second): 4 MiB is six.
    static constexpr std::size_t DefaultBound = 4 * 1024 * 1024;

    explicit TypingQueue(std::size_t bound = DefaultBound) : bound_(bound) {}

    // Reader thread, before a read: the bytes it reads will belong to this generation of the
    // queue, which the next drop ends.
    std::uint64_t Generation() const;
    // Reader thread: appends the bytes of a read made in `generation`; those of a read that a drop
    // has overtaken are not appended. The oldest bytes are kept: returns how many of these did not
    // fit and are lost.
    std::size_t Put(const std::uint8_t* bytes, std::size_t count, std::uint64_t generation);

    struct Taken {
        std::uint64_t generation = 0;
        // The queue had run empty before these bytes came: the typing had paused.
        bool afterPause = false;
    };
    // Typing thread: waits, without using the processor, while the queue is empty, then moves up
    // to `size` of the oldest bytes into `bytes`. False, at once, once the queue is stopped.
    bool Take(std::vector<std::uint8_t>& bytes, std::size_t size, Taken& taken);
    // Whether bytes taken in `generation` are still to be typed.
    bool IsCurrent(std::uint64_t generation) const;
    // How many bytes wait to be taken.
    std::size_t Size() const;

    // Everything not typed yet is dropped, and so are the bytes of reads under way.
    void Drop();
    // Nothing is taken from now on.
    void Stop();

private:
    const std::size_t bound_;
    mutable std::mutex mutex_;
    std::condition_variable filled_;
    std::deque<std::uint8_t> bytes_;
    std::uint64_t generation_ = 0;
    bool ranEmpty_ = true;
    bool stopped_ = false;
};
