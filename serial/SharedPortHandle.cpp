// The shared handle between the user-interface thread and the reader, and the hand-over of reads and closes.
#include "serial/SharedPortHandle.h"

#include <chrono>
#include <utility>

#include "serial/DeviceRemoval.h"

namespace {

// A cancel can come just before the read has begun and miss it; it is
// repeated this often until the read has ended.
constexpr std::chrono::milliseconds CancelRepeatInterval{5};

}  // namespace

SharedPortHandle::SharedPortHandle(SerialPorts& ports) : ports_(ports) {}

void SharedPortHandle::Publish(PortHandle port) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        port_ = port;
    }
    published_.notify_all();
}

void SharedPortHandle::Close() {
    std::unique_lock<std::mutex> lock(mutex_);
    // Emptied first, so that no new read can start on the port from here on.
    const PortHandle port = std::exchange(port_, NoPort);
    if (port == NoPort) return;
    while (reading_) {
        ports_.CancelRead(port);
        readEnded_.wait_for(lock, CancelRepeatInterval);
    }
    lock.unlock();
    ports_.Close(port);
}

PortHandle SharedPortHandle::Published() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return port_;
}

void SharedPortHandle::WaitForPort() {
    std::unique_lock<std::mutex> lock(mutex_);
    published_.wait(lock, [this] { return port_ != NoPort; });
}

SharedPortHandle::ReadResult SharedPortHandle::Read(std::uint8_t* buffer, std::uint32_t size) {
    PortHandle port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        port = port_;
        if (port == NoPort) return {};
        reading_ = true;
    }
    ReadResult result;
    const PortError readError = ports_.Read(port, buffer, size, result.count);
    result.succeeded = readError == NoError;
    // Still marked as reading, so that a close waits for this too. A port being
    // closed needs no query.
    if ((!result.succeeded || result.count == 0) && Published() == port &&
        DeviceIsGone(readError, ports_.ClearError(port)))
        result.goneDevice = port;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reading_ = false;
    }
    readEnded_.notify_all();
    return result;
}
