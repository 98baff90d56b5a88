// The reader thread's work: types every byte that arrives on the published port.
#pragma once

#include <cstdint>

#include "keys/KeyStrokes.h"
#include "serial/SharedPortHandle.h"
#include "serial/Sleeper.h"

class PortReader {
public:
    PortReader(SharedPortHandle& slot, Sleeper& sleeper, KeyEventSink& keys);

    // Printable characters are typed as themselves on `layout`, the receiving window's
    // layout; without one (the default), every byte strikes the key table's keys.
    void TypeCharactersOn(KeyboardLayout* layout) { layout_ = layout; }

    // The reader thread's procedure: cycles for as long as the process lives.
    [[noreturn]] void Run();
    // Waits for a port, reads once and types what arrived.
    void RunCycle();

private:
    static constexpr std::uint32_t ReadSize = 20;

    SharedPortHandle& slot_;
    Sleeper& sleeper_;
    KeyEventSink& keys_;
    KeyboardLayout* layout_ = nullptr;
    bool lastReadFilled_ = false;
    // Room for 100 bytes, of which each read fills at most the first ReadSize.
    std::uint8_t buffer_[100];
};
