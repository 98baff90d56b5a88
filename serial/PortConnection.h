// The open sequence behind the Open button, and the release of the port.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "serial/LineSettings.h"
#include "serial/SerialPorts.h"
#include "serial/SharedPortHandle.h"
#include "serial/Sleeper.h"

// What the application does for the open sequence.
class ConnectionHost {
public:
    // Tells the user the port cannot be opened; returns once they have seen it.
    virtual void ReportPortUnavailable() = 0;
    // Tells the user the port refused its line settings or time-outs, with the
    // platform's code for why; returns once they have seen it.
    virtual void ReportPortNotSetUp(const std::string& deviceName, PortError error) = 0;
    // The old port is released: what it delivered that is not typed yet is
    // dropped, not typed after the Open.
    virtual void DropUntypedBytes() = 0;
    // Lets the reader thread run. Every open ends with it, failed or not; only
    // the first has an effect on a reader that already runs.
    virtual void ResumeReader() = 0;

protected:
    ~ConnectionHost() = default;
};

// "COM1" to "COM9" for port positions 0 to 8; no name for any other position.
std::optional<std::string> DeviceNameFor(std::int32_t portIndex);

class PortConnection {
public:
    PortConnection(SerialPorts& ports, SharedPortHandle& slot, Sleeper& sleeper,
                   ConnectionHost& host);

    // Releases the port held, opens the chosen one, configures it and hands it
    // to the reader. A port that refuses its configuration is closed again.
    void Open(const LineSettings& settings);
    void ClosePort();

private:
    PortError Configure(PortHandle port, const LineSettings& settings);

    SerialPorts& ports_;
    SharedPortHandle& slot_;
    Sleeper& sleeper_;
    ConnectionHost& host_;
};
