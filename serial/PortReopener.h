// Follows the open port's device: when it goes, the port is closed and opened again once it is back.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "serial/DeviceRemoval.h"
#include "serial/SerialPorts.h"
#include "serial/SharedPortHandle.h"

// What the application shows while the port waits for its device. Called from any thread,
// with the reopener's lock held: neither may block or call back into the reopener.
class ReopenHost {
public:
    virtual void WaitingForDevice(const std::wstring& portName) = 0;
    // The port is open again, or the waiting was ended.
    virtual void DeviceWaitEnded() = 0;

protected:
    ~ReopenHost() = default;
};

// Waits on a thread of its own, so that neither the window nor the reader is held up. Its
// attempts publish through the shared handle like Open does. Open and the end of the program stop it
// first, so that the shared handle never has two writers at a time.
class PortReopener final : public RemovalListener {
public:
    // Opens and configures the followed port once more, as Open did; NoPort while the device is
    // not back (a port it opened but could not configure, it has closed again).
    using Attempt = std::function<PortHandle()>;

    PortReopener(SerialPorts& ports, SharedPortHandle& sharedPort, ReopenHost& host,
                 std::chrono::milliseconds interval = std::chrono::seconds(1));
    // Ends any waiting at once.
    ~PortReopener();

    // Open has just published the port `portName`; `attempt` opens it again.
    void Follow(std::wstring portName, Attempt attempt);
    // The port `portName` could not be opened: it is waited for, as for a device that has gone,
    // and `attempt` opens it once it is there.
    void Wait(std::wstring portName, Attempt attempt);
    // Ends following and any waiting at once. An attempt under way is let finish (an open holds
    // the device, which the caller may be about to open), and what it opened is closed. From
    // the return on, the reopener publishes nothing until the next Follow.
    void Stop();
    // From the reader: a read of the publication `generation` found the device gone. Ignored
    // unless that is the followed port's publication and still holds it: a late report must not
    // close a port that has been published since, maybe with the same handle.
    void DeviceGone(std::uint64_t generation) override;
    // The system has resumed, and devices may have come back as new ones. The followed port is
    // asked, on the reopener's thread, whether it still works, and closed and waited for only if
    // it does not: a port that came through the sleep keeps what it has received.
    void CheckAfterResume();

private:
    void CloseAndWait();
    void Run();
    // Runs `work` without the lock, marked as an attempt, which Stop waits for.
    template <typename Work>
    auto Attempting(std::unique_lock<std::mutex>& lock, Work work);

    SerialPorts& ports_;
    SharedPortHandle& sharedPort_;
    ReopenHost& host_;
    const std::chrono::milliseconds interval_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::wstring portName_;
    Attempt attempt_;  // empty while nothing is followed
    bool waiting_ = false;
    bool checking_ = false;
    bool attempting_ = false;
    bool ending_ = false;
    std::thread thread_;
};
