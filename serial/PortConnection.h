// The open sequence behind the Open button, and the release of the port.
#pragma once

#include <string>

#include "serial/LineSettings.h"
#include "serial/PortReopener.h"
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

class PortConnection {
public:
    PortConnection(SerialPorts& ports, SharedPortHandle& sharedPort, Sleeper& sleeper,
                   ConnectionHost& host, PortReopener& reopener);

    // What an open does when the port cannot be opened or set up.
    enum class OnFailure {
        Report,  // tells the user, once: Open pressed by someone who is there
        // Waits for the port as for a device that has gone: an unattended start. A port whose
        // device is not there yet is waited for without a word; one that fails otherwise (held
        // by another program, refusing the settings) is reported, then waited for too.
        Wait,
    };

    // Releases the port held (ClosePort), then opens the port `portName` ("COM3", "COM12"; "" for
    // none), configures it with the chosen line settings and hands it to the reader. A port that
    // refuses its configuration is closed again; one that opens follows its device from then on.
    void Open(const std::wstring& portName, const LineSettings& settings, OnFailure onFailure = OnFailure::Report);

private:
    SerialPorts& ports_;
    SharedPortHandle& sharedPort_;
    Sleeper& sleeper_;
    ConnectionHost& host_;
    PortReopener& reopener_;
};

// Ends any wait for a vanished device, then closes the port that `sharedPort` holds, if any.
void ClosePort(PortReopener& reopener, SharedPortHandle& sharedPort);
