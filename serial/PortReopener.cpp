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

void PortReopener::Stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    attempt_ = nullptr;
    if (waiting_) {
        waiting_ = false;
        host_.DeviceWaitEnded();
    }
    changed_.notify_all();
    changed_.wait(lock, [this] { return !attempting_; });
}

void PortReopener::DeviceGone(PortHandle port) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A stale report: Open or an earlier report has replaced the port since.
    if (!attempt_ || waiting_ || sharedPort_.Published() != port) return;
    CloseAndWait();
}

void PortReopener::Reopen() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!attempt_ || waiting_) return;
    CloseAndWait();
}

void PortReopener::CloseAndWait() {
    // The shared handle cuts a read in progress short and closes once it has ended; the reader then
    // waits for the shared handle, without using the processor.
    sharedPort_.Close();
    waiting_ = true;
    host_.WaitingForDevice(portName_);
    changed_.notify_all();
}

void PortReopener::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || waiting_; });
        if (ending_) return;
        // A pause before every attempt, also the first: a device that has just gone is not
        // back yet, and a system that has just resumed needs a moment for its drivers.
        if (changed_.wait_for(lock, interval_, [this] { return ending_ || !waiting_; })) continue;

        attempting_ = true;
        const Attempt attempt = attempt_;
        lock.unlock();
        const PortHandle port = attempt();
        lock.lock();
        attempting_ = false;

        if (port != NoPort && waiting_ && !ending_) {
            sharedPort_.Publish(port);
            waiting_ = false;
            host_.DeviceWaitEnded();
        } else if (port != NoPort) {
            ports_.Close(port);  // stopped while the attempt ran
        }
        changed_.notify_all();
    }
}
