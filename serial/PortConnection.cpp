// The open sequence: release, pause, open, configure, publish, resume the reader.
#include "serial/PortConnection.h"

#include <chrono>

namespace {

constexpr std::int32_t PortCount = 9;
// 20-byte reads end 30 ms after the last byte of a burst, or after 400 ms.
constexpr PortTimeouts ReadTimeouts{30, 10, 200, 0, 0};
// Lets the driver finish releasing the old port before the next open, which may be of the same device.
constexpr std::chrono::milliseconds PauseBeforeOpen{100};

}  // namespace

std::optional<std::string> DeviceNameFor(std::int32_t portIndex) {
    if (portIndex < 0 || portIndex >= PortCount) return std::nullopt;
    return "COM" + std::string(1, static_cast<char>('1' + portIndex));
}

PortConnection::PortConnection(SerialPorts& ports, SharedPortHandle& slot, Sleeper& sleeper,
                               ConnectionHost& host)
    : ports_(ports), slot_(slot), sleeper_(sleeper), host_(host) {}

void PortConnection::Open(const LineSettings& settings) {
    const std::optional<std::string> deviceName = DeviceNameFor(settings.portIndex);
    slot_.Close();
    host_.DropUntypedBytes();
    sleeper_.Sleep(PauseBeforeOpen);

    const PortHandle port = deviceName ? ports_.Open(*deviceName) : NoPort;
    if (port == NoPort) {
        host_.ReportPortUnavailable();
    } else if (const PortError error = Configure(port, settings)) {
        // A port used as it was would keep its old settings, or wait for full reads.
        ports_.Close(port);
        host_.ReportPortNotSetUp(*deviceName, error);
    } else {
        // Only a configured port is handed over: the reader never sees it half set up.
        slot_.Publish(port);
    }
    host_.ResumeReader();
}

PortError PortConnection::Configure(PortHandle port, const LineSettings& settings) {
    if (const PortError error = ports_.ConfigureLine(port, settings)) return error;
    return ports_.SetTimeouts(port, ReadTimeouts);
}

void PortConnection::ClosePort() { slot_.Close(); }
