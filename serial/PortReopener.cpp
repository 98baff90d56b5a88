// The wait for a vanished device, and the reopen through the shared handle once it is back.
#include "serial/PortReopener.h"

#include <utility>

PortReopener::PortReopener(SerialPorts& ports, SharedPortHandle& sharedPort, ReopenHost& host,
                           std::chrono::milliseconds interval)
    : ports_(ports), sharedPort_(sharedPort), host_(host), interval_(interval), thread_([this] { Run(); }) {}

PortReopener::~PortReopener() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void PortReopener::Follow(std::wstring portName, Attempt attempt) {
    std::lock_guard<std::mutex> lock(mutex_);
    portName_ = std::move(portName);
    attempt_ = std::move(attempt);
}

void PortReopener::Wait(std::wstring portName, Attempt attempt) {
    std::lock_guard<std::mutex> lock(mutex_);
    portName_ = std::move(portName);
    attempt_ = std::move(attempt);
    CloseAndWait();
}

void PortReopener::Stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    attempt_ = nullptr;
    checking_ = false;
    if (waiting_) {
        waiting_ = false;
        host_.DeviceWaitEnded();
    }
    changed_.notify_all();
    changed_.wait(lock, [this] { return !attempting_; });
}

void PortReopener::DeviceGone(std::uint64_t generation) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!attempt_ || waiting_ || !sharedPort_.IsPublished(generation)) return;
    CloseAndWait();
}

void PortReopener::CheckAfterResume() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!attempt_ || waiting_) return;
    checking_ = true;
    changed_.notify_all();
}

void PortReopener::CloseAndWait() {
    // The shared handle cuts a read in progress short and closes once it has ended; the reader then
    // waits for the shared handle, without using the processor.
    sharedPort_.Close();
    waiting_ = true;
    host_.WaitingForDevice(portName_);
    changed_.notify_all();
}

template <typename Work>
auto PortReopener::Attempting(std::unique_lock<std::mutex>& lock, Work work) {
    attempting_ = true;
    lock.unlock();
    const auto result = work();
    lock.lock();
    attempting_ = false;
    changed_.notify_all();
    return result;
}

void PortReopener::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || waiting_ || checking_; });
        if (ending_) return;
        if (checking_) {
            checking_ = false;
            // The question may wait for a read in progress, which may take as long as a read's
            // time-out: it is asked here, not on the window's thread.
            const SharedPortHandle::Query query = Attempting(lock, [this] { return sharedPort_.QueryErrors(); });
            if (attempt_ && !waiting_ && query.published && query.errors.queryError != NoError &&
                sharedPort_.IsPublished(query.generation))
                CloseAndWait();
            continue;
        }
        // A pause before every attempt, also the first: a device that has just gone is not
        // back yet, and a system that has just resumed needs a moment for its drivers.
        if (changed_.wait_for(lock, interval_, [this] { return ending_ || !waiting_; })) continue;

        const Attempt attempt = attempt_;
        const PortHandle port = Attempting(lock, attempt);

        if (port != NoPort && waiting_ && !ending_) {
            sharedPort_.Publish(port);
            waiting_ = false;
            host_.DeviceWaitEnded();
        } else if (port != NoPort) {
            ports_.Close(port);  // stopped while the attempt ran
        }
    }
}
