// Measures what the reader and the typing cost while no port is open, and how soon the reader reads a
// port once one is.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <optional>
#include <thread>

#include "serial/PortReader.h"
#include "serial/TypingGate.h"

namespace {

using Clock = std::chrono::steady_clock;

// A port whose reads note when the first one came and then fail.
class TimedPorts final : public SerialPorts {
public:
    PortHandle Open(const std::string&, PortError& error) override {
        error = NoError;
        return 1;
    }
    PortError ConfigureLine(PortHandle, const LineValues&) override { return NoError; }
    PortError SetReadTimeouts(PortHandle, const ReadTimeouts&) override { return NoError; }
    PortError Read(PortHandle, std::uint8_t*, std::uint32_t, std::uint32_t& count) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!firstRead_) firstRead_ = Clock::now();
        read_.notify_all();
        count = 0;
        return ReadFault;
    }
    LineErrors ClearError(PortHandle) override { return {}; }
    void CancelRead(PortHandle) override {}
    void Close(PortHandle) override {}

    Clock::time_point WaitForFirstRead() {
        std::unique_lock<std::mutex> lock(mutex_);
        read_.wait(lock, [this] { return firstRead_.has_value(); });
        return *firstRead_;
    }

private:
    static constexpr PortError ReadFault = 30;

    std::mutex mutex_;
    std::condition_variable read_;
    std::optional<Clock::time_point> firstRead_;
};

struct NoRemovals final : RemovalListener {
    void DeviceGone(std::uint64_t) override {}
};

struct NoLosses final : LossListener {
    void DriverOverran() override {}
    void BytesLost(std::size_t) override {}
};

// Pauses cost nothing here: the benchmark times the hand-over, not the pauses.
class NoPause final : public Sleeper {
public:
    void Sleep(std::chrono::milliseconds) override {}
};

class NoKeys final : public KeyEventSink {
public:
    void Send(const KeyEvents&) override {}
};

// Another program's window is in front, and takes every stroke.
class OtherProgramInFront final : public Desktop {
public:
    Window Front() override { return 1; }
    Owner OwnerOf(Window) override { return {false, 0}; }
    std::uint32_t OwnIntegrityLevel() override { return 0; }
    bool ModifierHeld() override { return false; }
};

class NoListener final : public TypingListener {
public:
    void TypingWaits(TargetWait) override {}
};

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

int main() {
    TimedPorts ports;
    SharedPortHandle sharedPort(ports);
    NoPause sleeper;
    NoKeys keys;
    OtherProgramInFront desktop;
    TargetWatch target(desktop);
    NoListener listener;
    TypingQueue queue;
    TypingGate typing(queue, keys, target, sleeper, listener);
    NoRemovals removals;
    NoLosses losses;
    PortReader reader(sharedPort, sleeper, queue, removals, losses);

    std::thread readerThread([&] { reader.RunCycle(); });
    std::thread typingThread([&] { typing.Run(); });

    // std::clock is the processor time of the whole process: the main thread
    // only sleeps, so what it counts is the waiting reader's and typing's.
    const std::clock_t processorStart = std::clock();
    const Clock::time_point wallStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double processorMs = 1000.0 * (std::clock() - processorStart) / CLOCKS_PER_SEC;
    const double wallMs = Milliseconds(Clock::now() - wallStart);

    const Clock::time_point published = Clock::now();
    PortError error;
    sharedPort.Publish(ports.Open("COM1", error));
    const Clock::time_point firstRead = ports.WaitForFirstRead();
    readerThread.join();
    typing.Stop();
    typingThread.join();

    std::printf("reader and typing waiting with no port: %.1f ms processor time in %.0f ms (%.2f%% of one core)\n",
                processorMs, wallMs, 100.0 * processorMs / wallMs);
    std::printf("first read after the port was published: %.3f ms\n", Milliseconds(firstRead - published));
}
