// The open sequence: release, pause, open, configure, publish, resume the reader.
#include "serial/PortConnection.h"

#include <chrono>
#include <optional>

#include "serial/PortNames.h"

namespace {

// 20-byte reads end 30 ms after the last byte of a burst, or after 400 ms.
constexpr PortTimeouts ReadTimeouts{30, 10, 200, 0, 0};
// Lets the driver finish releasing the old port before the next open, which may be of the same device.
constexpr std::chrono::milliseconds PauseBeforeOpen{100};

PortError Configure(SerialPorts& ports, PortHandle port, const LineSettings& settings) {
    if (const PortError error = ports.ConfigureLine(port, settings)) return error;
    return ports.SetTimeouts(port, ReadTimeouts);
}

// The device at its return: opened and configured as Open does, or NoPort while it is not back.
// Wine opens a port whose device has gone and only refuses its configuration.
PortHandle OpenConfigured(SerialPorts& ports, const std::string& deviceName, const LineSettings& settings) {
    const PortHandle port = ports.Open(deviceName);
    if (port == NoPort || Configure(ports, port, settings) == NoError) return port;
    ports.Close(port);
    return NoPort;
}

}  // namespace

PortConnection::PortConnection(SerialPorts& ports, SharedPortHandle& slot, Sleeper& sleeper,
                               ConnectionHost& host, PortReopener& reopener)
    : ports_(ports), slot_(slot), sleeper_(sleeper), host_(host), reopener_(reopener) {}

void PortConnection::Open(const LineSettings& settings, const std::vector<std::wstring>& offeredPorts) {
    const bool offered = settings.portIndex >= 0 && static_cast<std::size_t>(settings.portIndex) < offeredPorts.size();
    const std::wstring portName = offered ? offeredPorts[settings.portIndex] : L"";
    const std::optional<std::string> deviceName = DeviceNameFor(portName);
    reopener_.Stop();
    slot_.Close();
    host_.DropUntypedBytes();
    sleeper_.Sleep(PauseBeforeOpen);

    const PortHandle port = deviceName ? ports_.Open(*deviceName) : NoPort;
    if (port == NoPort) {
        host_.ReportPortUnavailable();
    } else if (const PortError error = Configure(ports_, port, settings)) {
        // A port used as it was would keep its old settings, or wait for full reads.
        ports_.Close(port);
        host_.ReportPortNotSetUp(std::string(portName.begin(), portName.end()), error);
    } else {
        // Only a configured port is handed over: the reader never sees it half set up.
        slot_.Publish(port);
        reopener_.Follow(portName, [&ports = ports_, name = *deviceName, settings] {
            return OpenConfigured(ports, name, settings);
        });
    }
    host_.ResumeReader();
}

void PortConnection::ClosePort() {
    reopener_.Stop();
    slot_.Close();
}
