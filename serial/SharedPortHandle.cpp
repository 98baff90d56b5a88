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
        ++generation_;
    }
    published_.notify_all();
}

void SharedPortHandle::Close() {
    std::unique_lock<std::mutex> lock(mutex_);
    // Emptied first, so that no new read or query can start on the port from here on.
    const PortHandle port = std::exchange(port_, NoPort);
    if (port == NoPort) return;
    while (users_ > 0) {
        if (reading_) ports_.CancelRead(port);
        used_.wait_for(lock, CancelRepeatInterval);
    }
    lock.unlock();
    ports_.Close(port);
}

PortHandle SharedPortHandle::Published() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return port_;
}

std::uint64_t SharedPortHandle::Generation() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

bool SharedPortHandle::IsPublished(std::uint64_t generation) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return port_ != NoPort && generation_ == generation;
}

void SharedPortHandle::WaitForPort() {
    std::unique_lock<std::mutex> lock(mutex_);
    published_.wait(lock, [this] { return port_ != NoPort; });
}

PortHandle SharedPortHandle::Use(std::uint64_t& generation, bool read) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (port_ != NoPort) {
        ++users_;
        reading_ = reading_ || read;
        generation = generation_;
    }
    return port_;
}

void SharedPortHandle::EndUse() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        --users_;
    }
    used_.notify_all();
}

SharedPortHandle::ReadResult SharedPortHandle::Read(std::uint8_t* buffer, std::uint32_t size) {
    ReadResult result;
    const PortHandle port = Use(result.generation, true);
    if (port == NoPort) return result;
    const PortError readError = ports_.Read(port, buffer, size, result.count);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reading_ = false;
    }
    result.succeeded = readError == NoError;
    // Still in use, so that a close waits for the query too. A port being closed needs none.
    if ((!result.succeeded || result.count == 0) && Published() == port) {
        const LineErrors errors = ports_.ClearError(port);
        result.deviceGone = DeviceIsGone(readError, errors.queryError);
        result.overrun = errors.overrun;
    }
    EndUse();
    return result;
}

SharedPortHandle::Query SharedPortHandle::QueryErrors() {
    Query query;
    const PortHandle port = Use(query.generation, false);
    if (port == NoPort) return query;
    query.published = true;
    query.errors = ports_.ClearError(port);
    EndUse();
    return query;
}
