// Serial ports through the Windows communications functions.
#pragma once

#include "serial/SerialPorts.h"

class WindowsSerialPorts final : public SerialPorts {
public:
    PortHandle Open(const std::string& deviceName, PortError& error) override;
    PortError ConfigureLine(PortHandle port, const LineValues& line) override;
    PortError SetReadTimeouts(PortHandle port, const ReadTimeouts& timeouts) override;
    PortError Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                   std::uint32_t& count) override;
    LineErrors ClearError(PortHandle port) override;
    void CancelRead(PortHandle port) override;
    void Close(PortHandle port) override;
};
