// Serial ports through the Windows communications functions.
#pragma once

#include "serial/SerialPorts.h"

class WindowsSerialPorts final : public SerialPorts {
public:
    PortHandle Open(const std::string& deviceName) override;
    PortError ConfigureLine(PortHandle port, const LineSettings& settings) override;
    PortError SetTimeouts(PortHandle port, const PortTimeouts& timeouts) override;
    PortError Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                   std::uint32_t& count) override;
    PortError ClearError(PortHandle port) override;
    void CancelRead(PortHandle port) override;
    void Close(PortHandle port) override;
};
