// The list positions the user chose, and the line parameters they stand for.
#pragma once

#include <cstdint>
#include <optional>

// The five positions of the settings window's lists, each exactly as its list
// reports it: -1 means no selection.
struct LineSettings {
    std::int32_t baudIndex;
    std::int32_t dataBitsIndex;
    std::int32_t parityIndex;
    std::int32_t stopBitsIndex;
    std::int32_t portIndex;
};

// What every start shows unless told otherwise: COM1, 9600 baud, 8 data bits, no parity, 1 stop bit.
constexpr LineSettings DefaultLineSettings{5, 1, 0, 0, 0};

// Parity and stop-bits codes, with the values a Windows DCB takes.
enum ParityCode : std::uint8_t {
    NoParity = 0,
    OddParity = 1,
    EvenParity = 2,
    MarkParity = 3,
    SpaceParity = 4,
};

enum StopBitsCode : std::uint8_t {
    OneStopBit = 0,
    OnePointFiveStopBits = 1,
    TwoStopBits = 2,
};

// What the positions ask of the port. An absent parity or stop-bits code asks
// nothing: the port keeps the code it has.
struct LineParameters {
    std::uint32_t baudRate;
    std::uint8_t byteSize;
    std::optional<std::uint8_t> parity;
    std::optional<std::uint8_t> stopBits;

    bool operator==(const LineParameters& other) const {
        return baudRate == other.baudRate && byteSize == other.byteSize &&
               parity == other.parity && stopBits == other.stopBits;
    }
};

LineParameters LineParametersFor(const LineSettings& settings);

// A port's whole configuration record, read and written as one, so that what
// the user does not choose (flow control, handshake lines, special characters)
// stays exactly as the port has it.
class LineConfiguration {
public:
    virtual bool Read() = 0;
    // Changes the chosen parameters in the record read, turns on binary mode
    // and parity checking, and turns off aborting reads on a line error.
    virtual void Change(const LineParameters& parameters) = 0;
    // False when the port refuses the record.
    virtual bool Write() = 0;

protected:
    ~LineConfiguration() = default;
};

// Configures a port that has just been opened. When its configuration cannot
// be read, nothing is written: a guessed record would overwrite settings the
// port has. False only when the port refuses the changed record.
bool ApplyLineSettings(LineConfiguration& configuration, const LineSettings& settings);
