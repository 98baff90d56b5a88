// The platform's serial-port operations, as the port connection and the reader use them.
#pragma once

#include <cstdint>
#include <string>

#include "serial/LineSettings.h"

// An open port as the platform names it; NoPort names none.
using PortHandle = std::uintptr_t;
constexpr PortHandle NoPort = 0;

// When a read ends: as soon as the bytes asked for have arrived, or
// `intervalMs` after a byte with no further one, or after
// `totalConstantMs` + `totalMultiplierMs` per byte asked for, with what
// arrived by then. The port is never written, yet the record has write fields.
struct PortTimeouts {
    std::uint32_t intervalMs;
    std::uint32_t totalMultiplierMs;
    std::uint32_t totalConstantMs;
    std::uint32_t writeTotalMultiplierMs;
    std::uint32_t writeTotalConstantMs;
};

// The platform's code for why a port refused an operation; NoError when it
// took it. The application turns a code into the system's own text.
using PortError = std::uint32_t;
constexpr PortError NoError = 0;

class SerialPorts {
public:
    // Opens the device for exclusive reading and writing; NoPort when it does
    // not exist or is held elsewhere.
    virtual PortHandle Open(const std::string& deviceName) = 0;
    // Applies the chosen line parameters to the port's own configuration record
    // (see ApplyLineSettings).
    virtual PortError ConfigureLine(PortHandle port, const LineSettings& settings) = 0;
    virtual PortError SetTimeouts(PortHandle port, const PortTimeouts& timeouts) = 0;
    // Blocks until the read ends under the port's time-outs. NoError when it
    // succeeded, with `count` bytes, possibly none; otherwise why it failed or
    // was cancelled, and `count` says 0.
    virtual PortError Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                           std::uint32_t& count) = 0;
    // Clears what a line error left behind: a port can refuse every read
    // until its error state is cleared. Answers how the port took the query:
    // it fails on a port whose device has gone.
    virtual PortError ClearError(PortHandle port) = 0;
    // From another thread: ends a read in progress on the port early. A read
    // that has not begun yet is not affected.
    virtual void CancelRead(PortHandle port) = 0;
    virtual void Close(PortHandle port) = 0;

protected:
    ~SerialPorts() = default;
};
