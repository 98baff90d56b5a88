// The tables from list positions to line values.
#include "serial/LineSettings.h"

namespace {

constexpr std::uint32_t BaudRates[] = {
    300,     // "300"
    600,     // "600"
    1200,    // "1200"
    2400,    // "2400"
    4800,    // "4800"
    9600,    // "9600"
    14400,   // "14400"
    19200,   // "19200"
    38400,   // "38400"
    56000,   // "56000"
    57600,   // "57600"
    115200,  // "115200"
};

constexpr std::uint8_t DataBits[] = {
    7,  // "7"
    8,  // "8"
};

constexpr Parity Parities[] = {
    Parity::None,   // "NONE"
    Parity::Odd,    // "ODD"
    Parity::Even,   // "EVEN"
    Parity::Mark,   // "MARK"
    Parity::Space,  // "SPACE"
};

constexpr StopBits StopBitsChoices[] = {
    StopBits::One,           // "1"
    StopBits::OnePointFive,  // "1.5"
    StopBits::Two,           // "2"
};

template <typename Value, std::size_t Size>
bool InTable(const Value (&)[Size], std::int32_t position) {
    return position >= 0 && static_cast<std::size_t>(position) < Size;
}

template <typename Value, std::size_t Size>
std::optional<Value> ValueAt(const Value (&table)[Size], std::int32_t position) {
    if (!InTable(table, position)) return std::nullopt;
    return table[position];
}

}  // namespace

LineValues LineValuesAt(const LineSettings& positions) {
    LineValues line{};
    // The lists never yield a baud or data-bits position outside their tables;
    // such a position passes through as a number and the port judges it.
    line.baudRate = InTable(BaudRates, positions.baudIndex) ? BaudRates[positions.baudIndex]
                                                            : static_cast<std::uint32_t>(positions.baudIndex);
    line.dataBits = InTable(DataBits, positions.dataBitsIndex) ? DataBits[positions.dataBitsIndex]
                                                               : static_cast<std::uint8_t>(positions.dataBitsIndex);
    line.parity = ValueAt(Parities, positions.parityIndex);
    line.stopBits = ValueAt(StopBitsChoices, positions.stopBitsIndex);
    return line;
}

PortError ApplyLineSettings(SerialPorts& ports, PortHandle port, const LineSettings& positions) {
    return ports.ConfigureLine(port, LineValuesAt(positions));
}
