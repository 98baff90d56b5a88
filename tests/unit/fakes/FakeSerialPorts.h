// Serial ports in memory: scripted reads and refusals, and a watch that no read overlaps or follows its port's close.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "EventLog.h"
#include "serial/SerialPorts.h"

class FakeSerialPorts final : public SerialPorts {
public:
    // Windows' codes for a read that failed for no reason that matters here, and for one cut short;
    // for an open of a device that is not there, and of one that another program holds.
    static constexpr PortError ReadFault = 30;
    static constexpr PortError Aborted = 995;
    static constexpr PortError FileNotFound = 2;
    static constexpr PortError AccessDenied = 5;

    struct ReadOutcome {
        bool succeeded;
        std::vector<std::uint8_t> bytes;
        PortError error = ReadFault;  // of a failed read

        friend void PrintTo(const ReadOutcome& outcome, std::ostream* os) {
            *os << (outcome.succeeded ? "read of " : "failed read of ") << outcome.bytes.size() << " bytes";
        }
    };

    // Without a log the fake records nothing, for tests that read without end.
    explicit FakeSerialPorts(EventLog* log) : log_(log) {}

    void MakeMissing(const std::string& deviceName) {
        std::lock_guard<std::mutex> lock(mutex_);
        missing_.insert(deviceName);
    }
    void MakeBack(const std::string& deviceName) {
        std::lock_guard<std::mutex> lock(mutex_);
        missing_.erase(deviceName);
        held_.erase(deviceName);
    }
    // Another program holds the device: opens fail until MakeBack.
    void MakeHeldElsewhere(const std::string& deviceName) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_.insert(deviceName);
    }
    // Every port from now on refuses its line settings, or its time-outs, with this error.
    void RefuseLineSettings(PortError error) {
        std::lock_guard<std::mutex> lock(mutex_);
        lineSettingsError_ = error;
    }
    void RefuseTimeouts(PortError error) {
        std::lock_guard<std::mutex> lock(mutex_);
        timeoutsError_ = error;
    }
    // From now on the error query fails with this error (NoError: it succeeds again).
    void FailErrorQueries(PortError error) {
        std::lock_guard<std::mutex> lock(mutex_);
        queryError_ = error;
    }
    // The next error query finds that the driver lost bytes.
    void OverrunBeforeNextQuery() {
        std::lock_guard<std::mutex> lock(mutex_);
        overrun_ = true;
    }

    // Reads take queued outcomes in order. With none queued, a read answers with
    // the standing outcome if there is one, otherwise it lasts until cancelled,
    // like a read on a quiet line.
    void QueueRead(ReadOutcome outcome) {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_.push_back(std::move(outcome));
    }
    void AnswerEveryReadWith(ReadOutcome outcome) {
        std::lock_guard<std::mutex> lock(mutex_);
        standing_ = std::move(outcome);
    }

    bool WaitUntilReadBlocked(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return blockedOn_ != NoPort; });
    }

    bool WaitUntilReadBegunOn(PortHandle port, std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return readsBegun_.count(port) != 0; });
    }

    // Every read on a port that was not open, and every close during a read.
    std::vector<std::string> Faults() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return faults_;
    }

    PortHandle Open(const std::string& deviceName, PortError& error) override {
        Log("open " + deviceName);
        std::lock_guard<std::mutex> lock(mutex_);
        error = missing_.count(deviceName) ? FileNotFound : held_.count(deviceName) ? AccessDenied : NoError;
        if (error) return NoPort;
        // The handle values of closed ports come again, as Windows gives them out again.
        PortHandle handle = 1;
        while (open_.count(handle) || (!reuseHandles_ && handle <= lastHandle_)) ++handle;
        lastHandle_ = std::max(lastHandle_, handle);
        open_.insert(handle);
        return handle;
    }
    // For tests that open without caring why an open fails.
    PortHandle Open(const std::string& deviceName) {
        PortError error;
        return Open(deviceName, error);
    }
    // From now on an open takes the lowest handle value that no open port has.
    void ReuseHandles() { reuseHandles_ = true; }

    PortError ConfigureLine(PortHandle port, const LineValues& line) override {
        static const char* const parities[] = {"none", "odd", "even", "mark", "space"};
        static const char* const stopBits[] = {"1", "1.5", "2"};
        Log("configure " + std::to_string(port) + ": " + std::to_string(line.baudRate) + " baud, " +
            std::to_string(line.dataBits) + " data bits, parity " +
            (line.parity ? parities[static_cast<int>(*line.parity)] : "kept") + ", stop bits " +
            (line.stopBits ? stopBits[static_cast<int>(*line.stopBits)] : "kept"));
        std::lock_guard<std::mutex> lock(mutex_);
        return lineSettingsError_;
    }

    PortError SetReadTimeouts(PortHandle port, const ReadTimeouts& t) override {
        Log("time-outs " + std::to_string(port) + ": " + std::to_string(t.intervalMs) + "/" +
            std::to_string(t.totalMultiplierMs) + "/" + std::to_string(t.totalConstantMs));
        std::lock_guard<std::mutex> lock(mutex_);
        return timeoutsError_;
    }

    PortError Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                   std::uint32_t& count) override {
        Log("read " + std::to_string(port) + ": up to " + std::to_string(size));
        std::unique_lock<std::mutex> lock(mutex_);
        if (!open_.count(port)) faults_.push_back("read on port " + std::to_string(port) + ", not open");
        ++readsInProgress_[port];
        readsBegun_.insert(port);
        changed_.notify_all();
        // Lets a close on another thread run into the read, if the code allows it.
        lock.unlock();
        std::this_thread::yield();
        lock.lock();

        const ReadOutcome outcome = NextOutcome(lock, port);
        --readsInProgress_[port];
        const std::size_t delivered = std::min<std::size_t>(outcome.bytes.size(), size);
        std::copy_n(outcome.bytes.begin(), delivered, buffer);
        count = outcome.succeeded ? static_cast<std::uint32_t>(delivered) : 0;
        return outcome.succeeded ? NoError : outcome.error;
    }

    LineErrors ClearError(PortHandle port) override {
        Log("clear error " + std::to_string(port));
        std::unique_lock<std::mutex> lock(mutex_);
        if (!open_.count(port)) faults_.push_back("clear error on port " + std::to_string(port) + ", not open");
        // Counted as part of the read: a close must wait for it too.
        ++readsInProgress_[port];
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
        --readsInProgress_[port];
        return {queryError_, std::exchange(overrun_, false)};
    }

    void CancelRead(PortHandle port) override {
        Log("cancel " + std::to_string(port));
        std::lock_guard<std::mutex> lock(mutex_);
        if (blockedOn_ == port) {
            cancelled_ = true;
            changed_.notify_all();
        }
    }

    void Close(PortHandle port) override {
        Log("close " + std::to_string(port));
        std::lock_guard<std::mutex> lock(mutex_);
        closing_.insert(port);
        changed_.notify_all();
        if (readsInProgress_[port] > 0)
            faults_.push_back("close of port " + std::to_string(port) + " during a read");
        if (!open_.erase(port)) faults_.push_back("close of port " + std::to_string(port) + ", not open");
    }

private:
    void Log(const std::string& event) {
        if (log_) log_->Add(event);
    }

    ReadOutcome NextOutcome(std::unique_lock<std::mutex>& lock, PortHandle port) {
        if (!queued_.empty()) {
            ReadOutcome next = std::move(queued_.front());
            queued_.pop_front();
            return next;
        }
        if (standing_) return *standing_;

        blockedOn_ = port;
        changed_.notify_all();
        // Bounded, so that a reader nobody cancels fails the test instead of hanging it.
        if (!changed_.wait_for(lock, std::chrono::seconds(10), [this] { return cancelled_; }))
            faults_.push_back("read on port " + std::to_string(port) + " never cancelled");
        // A cancelled read takes a moment to unwind. A close that does not wait
        // for the read to end lands in this moment and is caught.
        changed_.wait_for(lock, std::chrono::milliseconds(20), [&] { return closing_.count(port) != 0; });
        cancelled_ = false;
        blockedOn_ = NoPort;
        return {false, {}, Aborted};
    }

    EventLog* log_;
    std::set<std::string> missing_;
    std::set<std::string> held_;

    mutable std::mutex mutex_;
    PortError lineSettingsError_ = NoError;
    PortError timeoutsError_ = NoError;
    std::condition_variable changed_;
    PortHandle lastHandle_ = NoPort;
    std::set<PortHandle> open_;
    std::map<PortHandle, int> readsInProgress_;
    std::set<PortHandle> readsBegun_;
    std::set<PortHandle> closing_;
    std::deque<ReadOutcome> queued_;
    std::optional<ReadOutcome> standing_;
    PortError queryError_ = NoError;
    bool overrun_ = false;
    bool reuseHandles_ = false;
    PortHandle blockedOn_ = NoPort;
    bool cancelled_ = false;
    std::vector<std::string> faults_;
};
