// The list positions the user chose, and the line values they stand for.
#pragma once

#include <cstdint>

#include "serial/SerialPorts.h"

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

// The line values at the chosen positions of the baud, data-bits, parity and
// stop-bits lists. No parity or stop-bits selection asks nothing of the port.
LineValues LineValuesAt(const LineSettings& positions);

// Sets a port that has just been opened to the line the positions choose.
PortError ApplyLineSettings(SerialPorts& ports, PortHandle port, const LineSettings& positions);
