// The open sequence: release, pause, open, configure, publish, resume the reader.
#include "serial/PortConnection.h"

#include <chrono>
#include <optional>

#include "serial/DeviceRemoval.h"
#include "serial/PortNames.h"

namespace {

// 20-byte reads end 30 ms after the last byte of a burst, or after 400 ms.
constexpr ReadTimeouts BurstReadTimeouts{30, 10, 200};
// Lets the driver finish releasing the old port before the next open, which may be of the same device.
constexpr std::chrono::milliseconds PauseBeforeOpen{100};

PortError Configure(SerialPorts& ports, PortHandle port, const LineSettings& settings) {
    if (const PortError error = ApplyLineSettings(ports, port, settings)) return error;
    return ports.SetReadTimeouts(port, BurstReadTimeouts);
}

// The device at its return: opened and configured as Open does, or NoPort while it is not back.
// Wine opens a port whose device has gone and only refuses its configuration.
PortHandle OpenConfigured(SerialPorts& ports, const std::string& deviceName, const LineSettings& settings) {
    PortError error;
    const PortHandle port = ports.Open(deviceName, error);
    if (port == NoPort || Configure(ports, port, settings) == NoError) return port;
    ports.Close(port);
    return NoPort;
}

}  // namespace

PortConnection::PortConnection(SerialPorts& ports, SharedPortHandle& sharedPort, Sleeper& sleeper,
                               ConnectionHost& host, PortReopener& reopener)
    : ports_(ports), sharedPort_(sharedPort), sleeper_(sleeper), host_(host), reopener_(reopener) {}

void PortConnection::Open(const std::wstring& portName, const LineSettings& settings, OnFailure onFailure) {
    const std::optional<std::string> deviceName = DeviceNameFor(portName);
    ClosePort(reopener_, sharedPort_);
    host_.DropUntypedBytes();
    sleeper_.Sleep(PauseBeforeOpen);

    PortError openError = NoError;
    const PortHandle port = deviceName ? ports_.Open(*deviceName, openError) : NoPort;
    bool opened = false;
    if (port == NoPort) {
        if (onFailure == OnFailure::Report || !deviceName || !DeviceIsAbsent(openError)) host_.ReportPortUnavailable();
    } else if (const PortError error = Configure(ports_, port, settings)) {
        // A port used as it was would keep its old settings, or wait for full reads.
        ports_.Close(port);
        host_.ReportPortNotSetUp(std::string(portName.begin(), portName.end()), error);
    } else {
        // Only a configured port is handed over: the reader never sees it half set up.
        sharedPort_.Publish(port);
        opened = true;
    }
    if (deviceName && (opened || onFailure == OnFailure::Wait)) {
        PortReopener::Attempt attempt = [&ports = ports_, name = *deviceName, settings] {
            return OpenConfigured(ports, name, settings);
        };
        if (opened)
            reopener_.Follow(portName, std::move(attempt));
        else
            reopener_.Wait(portName, std::move(attempt));
    }
    host_.ResumeReader();
}

void ClosePort(PortReopener& reopener, SharedPortHandle& sharedPort) {
    // First, so that the reopener cannot publish a port again once it is closed.
    reopener.Stop();
    sharedPort.Close();
}
