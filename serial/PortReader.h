// The reader thread's work: puts every byte that arrives on the published port into the typing queue.
#pragma once

#include <cstddef>
#include <cstdint>

#include "serial/DeviceRemoval.h"
#include "serial/SharedPortHandle.h"
#include "serial/Sleeper.h"
#include "serial/TypingQueue.h"

// Told by the reader, on its thread, when received bytes are lost.
class LossListener {
public:
    // The driver lost bytes before they were read: its queue, or the port's, overflowed.
    virtual void DriverOverran() = 0;
    // `count` bytes that were read did not fit the typing queue.
    virtual void BytesLost(std::size_t count) = 0;

protected:
    ~LossListener() = default;
};

class PortReader {
public:
    // `removals` hears of every read that finds its port's device gone, `losses` of every loss.
    PortReader(SharedPortHandle& sharedPort, Sleeper& sleeper, TypingQueue& queue, RemovalListener& removals,
               LossListener& losses);

    // The reader thread's procedure: cycles for as long as the process lives.
    [[noreturn]] void Run();
    // Waits for a port, reads once and queues what arrived for typing.
    void RunCycle();

private:
    static constexpr std::uint32_t ReadSize = 20;

    SharedPortHandle& sharedPort_;
    Sleeper& sleeper_;
    TypingQueue& queue_;
    RemovalListener& removals_;
    LossListener& losses_;
    bool lastReadFilled_ = false;
    // Reads with bytes since the port's errors were last asked.
    int readsSinceErrorQuery_ = 0;
    // Room for 100 bytes, of which each read fills at most the first ReadSize.
    std::uint8_t buffer_[100];
};
