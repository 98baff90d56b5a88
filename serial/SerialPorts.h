// The platform's serial-port operations, as the port connection and the reader use them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// An open port as the platform names it; NoPort names none.
using PortHandle = std::uintptr_t;
constexpr PortHandle NoPort = 0;

enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };
enum class StopBits : std::uint8_t { One, OnePointFive, Two };

// What a port is set to. An absent parity or stop bits asks nothing: the port
// keeps what it has.
struct LineValues {
    std::uint32_t baudRate;
    std::uint8_t dataBits;
    std::optional<Parity> parity;
    std::optional<StopBits> stopBits;

    bool operator==(const LineValues& other) const {
        return baudRate == other.baudRate && dataBits == other.dataBits && parity == other.parity &&
               stopBits == other.stopBits;
    }
};

// When a read ends: as soon as the bytes asked for have arrived, or
// `intervalMs` after a byte with no further one, or after
// `totalConstantMs` + `totalMultiplierMs` per byte asked for, with what
// arrived by then.
struct ReadTimeouts {
    std::uint32_t intervalMs;
    std::uint32_t totalMultiplierMs;
    std::uint32_t totalConstantMs;
};

// The platform's code for why a port refused an operation; NoError when it
// took it. The application turns a code into the system's own text.
using PortError = std::uint32_t;
constexpr PortError NoError = 0;

// What a port's error query found.
struct LineErrors {
    // Why the query itself failed, as it does on a port whose device has gone; NoError otherwise.
    PortError queryError = NoError;
    // The driver lost received bytes since the last query: its input queue or the port's own
    // buffer overflowed before they were read.
    bool overrun = false;
};

class SerialPorts {
public:
    // Opens the device for exclusive reading and writing, with a large input
    // queue in the driver; NoPort when it does not exist or is held elsewhere,
    // and `error` says which.
    virtual PortHandle Open(const std::string& deviceName, PortError& error) = 0;
    // Sets the line in the port's own configuration, read and written back
    // whole, so that what is not chosen here (flow control, handshake lines,
    // special characters) stays as the port has it. Also turns on binary mode
    // and parity checking, and turns off aborting reads on a line error. A port
    // whose configuration cannot be read is left untouched: a guessed record
    // would overwrite settings it has.
    virtual PortError ConfigureLine(PortHandle port, const LineValues& line) = 0;
    // The port is only ever read, so only reads get time-outs.
    virtual PortError SetReadTimeouts(PortHandle port, const ReadTimeouts& timeouts) = 0;
    // Blocks until the read ends under the port's time-outs. NoError when it
    // succeeded, with `count` bytes, possibly none; otherwise why it failed or
    // was cancelled, and `count` says 0.
    virtual PortError Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                           std::uint32_t& count) = 0;
    // Clears what a line error left behind: a port can refuse every read
    // until its error state is cleared. Answers how the port took the query,
    // which fails on a port whose device has gone, and what it found.
    virtual LineErrors ClearError(PortHandle port) = 0;
    // From another thread: ends a read in progress on the port early. A read
    // that has not begun yet is not affected.
    virtual void CancelRead(PortHandle port) = 0;
    virtual void Close(PortHandle port) = 0;

protected:
    ~SerialPorts() = default;
};
