// The tables from list positions to line parameters.
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

constexpr std::uint8_t ByteSizes[] = {
    7,  // "7"
    8,  // "8"
};

constexpr std::uint8_t ParityCodes[] = {
    NoParity,     // "NONE"
    OddParity,    // "ODD"
    EvenParity,   // "EVEN"
    MarkParity,   // "MARK"
    SpaceParity,  // "SPACE"
};

constexpr std::uint8_t StopBitsCodes[] = {
    OneStopBit,            // "1"
    OnePointFiveStopBits,  // "1.5"
    TwoStopBits,           // "2"
};

template <typename Value, std::size_t Size>
bool InTable(const Value (&)[Size], std::int32_t position) {
    return position >= 0 && static_cast<std::size_t>(position) < Size;
}

template <typename Value, std::size_t Size>
std::optional<std::uint8_t> CodeAt(const Value (&table)[Size], std::int32_t position) {
    if (!InTable(table, position)) return std::nullopt;
    return table[position];
}

}  // namespace

LineParameters LineParametersFor(const LineSettings& settings) {
    LineParameters parameters{};
    // The lists never yield a baud or data-bits position outside their tables;
    // such a position passes through as a number and the port judges it.
    parameters.baudRate = InTable(BaudRates, settings.baudIndex)
                              ? BaudRates[settings.baudIndex]
                              : static_cast<std::uint32_t>(settings.baudIndex);
    parameters.byteSize = InTable(ByteSizes, settings.dataBitsIndex)
                              ? ByteSizes[settings.dataBitsIndex]
                              : static_cast<std::uint8_t>(settings.dataBitsIndex);
    parameters.parity = CodeAt(ParityCodes, settings.parityIndex);
    parameters.stopBits = CodeAt(StopBitsCodes, settings.stopBitsIndex);
    return parameters;
}

bool ApplyLineSettings(LineConfiguration& configuration, const LineSettings& settings) {
    if (!configuration.Read()) return true;
    configuration.Change(LineParametersFor(settings));
    return configuration.Write();
}
