// The reader thread's work: types every byte that arrives on the published port.
#pragma once

#include <cstdint>

#include "serial/DeviceRemoval.h"
#include "serial/SharedPortHandle.h"
#include "serial/Sleeper.h"
#include "serial/TypingGate.h"

class PortReader {
public:
    // `removals` hears of every read that finds its port's device gone.
    PortReader(SharedPortHandle& sharedPort, Sleeper& sleeper, TypingGate& typing, RemovalListener& removals);

    // The reader thread's procedure: cycles for as long as the process lives.
    [[noreturn]] void Run();
    // Waits for a port, reads once and types what arrived.
    void RunCycle();

private:
    static constexpr std::uint32_t ReadSize = 20;

    SharedPortHandle& sharedPort_;
    Sleeper& sleeper_;
    TypingGate& typing_;
    RemovalListener& removals_;
    bool lastReadFilled_ = false;
    // Room for 100 bytes, of which each read fills at most the first ReadSize.
    std::uint8_t buffer_[100];
};
