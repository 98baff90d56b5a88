// The wait for a vanished device: reopen through the shared handle, and Open or the end of the program ending it.
#include "serial/PortReopener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/FakeSerialPorts.h"

namespace {

using Events = std::vector<std::string>;
using namespace std::chrono_literals;

class RecordingReopenHost final : public ReopenHost {
public:
    void WaitingForDevice(const std::wstring& portName) override {
        Add("waiting for " + std::string(portName.begin(), portName.end()));
    }
    void DeviceWaitEnded() override { Add("wait ended"); }

    Events Seen() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return seen_.size() >= count; });
    }

private:
    void Add(const std::string& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(event);
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Events seen_;
};

class PortReopenerTest : public testing::Test {
protected:
    // The port that Open published and the reopener follows.
    PortHandle OpenAndFollow(PortReopener& reopener) {
        const PortHandle port = ports.Open("\\\\.\\COM12");
        sharedPort.Publish(port);
        reopener.Follow(L"COM12", [this] { return Attempt(); });
        return port;
    }

    // The device is back from the attempt numbered `backAt` on.
    PortHandle Attempt() {
        ++attempts;
        return attempts >= backAt ? ports.Open("\\\\.\\COM12") : NoPort;
    }

    static constexpr std::chrono::milliseconds Soon{1};
    static constexpr std::chrono::milliseconds Never{std::chrono::hours(1)};

    EventLog log;
    FakeSerialPorts ports{&log};
    SharedPortHandle sharedPort{ports};
    RecordingReopenHost host;
    std::atomic<int> attempts{0};
    int backAt = 1;
};

TEST_F(PortReopenerTest, AVanishedDeviceIsClosedAndItsPortOpenedAgainOnceItIsBack) {
    backAt = 3;
    PortReopener reopener(ports, sharedPort, host, Soon);
    const PortHandle gone = OpenAndFollow(reopener);

    reopener.DeviceGone(sharedPort.Generation());
    ASSERT_TRUE(host.WaitFor(2, 10s));

    EXPECT_EQ(host.Seen(), (Events{"waiting for COM12", "wait ended"}));
    EXPECT_EQ(attempts, 3);
    EXPECT_NE(sharedPort.Published(), NoPort);
    EXPECT_NE(sharedPort.Published(), gone);
    EXPECT_EQ(log.Events(), (Events{"open \\\\.\\COM12", "close 1", "open \\\\.\\COM12"}));
}

TEST_F(PortReopenerTest, AReportOnAPortThatIsNotTheFollowedOneChangesNothing) {
    PortReopener reopener(ports, sharedPort, host, Soon);
    sharedPort.Publish(ports.Open("COM1"));
    const std::uint64_t unfollowed = sharedPort.Generation();
    reopener.DeviceGone(unfollowed);  // nothing followed yet

    OpenAndFollow(reopener);
    reopener.DeviceGone(unfollowed);  // replaced since

    EXPECT_EQ(host.Seen(), Events{});
    EXPECT_EQ(attempts, 0);
    EXPECT_NE(sharedPort.Published(), NoPort);
}

// Windows gives a closed handle's value out again soon: a report that comes late, after Open has
// published a new port with the very same value, is about the old port.
TEST_F(PortReopenerTest, AStaleReportAfterTheSameHandleValueWasPublishedAgainChangesNothing) {
    ports.ReuseHandles();
    PortReopener reopener(ports, sharedPort, host, Soon);
    const PortHandle first = OpenAndFollow(reopener);
    const std::uint64_t reported = sharedPort.Generation();
    reopener.Stop();  // Open again: release, then open
    sharedPort.Close();
    ASSERT_EQ(OpenAndFollow(reopener), first);

    reopener.DeviceGone(reported);

    EXPECT_EQ(host.Seen(), Events{});
    EXPECT_EQ(sharedPort.Published(), first);
    EXPECT_EQ(log.Events(), (Events{"open \\\\.\\COM12", "close 1", "open \\\\.\\COM12"}));
}

TEST_F(PortReopenerTest, OpenEndsAPendingWaitAtOnceAndNothingIsPublishedAfterIt) {
    PortReopener reopener(ports, sharedPort, host, Never);
    OpenAndFollow(reopener);
    reopener.DeviceGone(sharedPort.Generation());

    auto stopped = std::async(std::launch::async, [&] { reopener.Stop(); });
    ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready);

    EXPECT_EQ(host.Seen(), (Events{"waiting for COM12", "wait ended"}));
    EXPECT_EQ(attempts, 0);
    EXPECT_EQ(sharedPort.Published(), NoPort);
}

TEST_F(PortReopenerTest, AnAttemptUnderWayWhenOpenStopsTheWaitHasItsPortClosedNotPublished) {
    std::promise<void> attemptBegun, release;
    std::shared_future<void> released = release.get_future().share();
    PortReopener reopener(ports, sharedPort, host, Soon);
    const PortHandle gone = ports.Open("\\\\.\\COM12");
    sharedPort.Publish(gone);
    reopener.Follow(L"COM12", [&] {
        attemptBegun.set_value();
        released.wait();
        return ports.Open("\\\\.\\COM12");
    });
    reopener.DeviceGone(sharedPort.Generation());
    ASSERT_EQ(attemptBegun.get_future().wait_for(10s), std::future_status::ready);

    auto stopped = std::async(std::launch::async, [&] { reopener.Stop(); });
    // The attempt holds the device: Open must not try it before the attempt has let go.
    EXPECT_EQ(stopped.wait_for(50ms), std::future_status::timeout);
    release.set_value();
    ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready);

    EXPECT_EQ(sharedPort.Published(), NoPort);
    EXPECT_EQ(log.Events().back(), "close 2");
    EXPECT_EQ(ports.Faults(), Events{});
}

TEST_F(PortReopenerTest, AfterAResumeAPortThatFailsItsErrorQueryIsClosedAndOpenedAgain) {
    PortReopener reopener(ports, sharedPort, host, Soon);
    const PortHandle before = OpenAndFollow(reopener);
    ports.FailErrorQueries(31);  // ERROR_GEN_FAILURE: the device came back as a new one

    reopener.CheckAfterResume();
    ASSERT_TRUE(host.WaitFor(2, 10s));

    EXPECT_EQ(host.Seen(), (Events{"waiting for COM12", "wait ended"}));
    EXPECT_NE(sharedPort.Published(), NoPort);
    EXPECT_NE(sharedPort.Published(), before);
}

// A port that came through the sleep keeps what its driver holds and the reading under way.
TEST_F(PortReopenerTest, AfterAResumeAPortThatStillWorksIsKept) {
    PortReopener reopener(ports, sharedPort, host, Soon);
    const PortHandle port = OpenAndFollow(reopener);

    reopener.CheckAfterResume();
    for (int tries = 0; tries < 10000 && log.Events().size() < 2; ++tries) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);  // time for a wrong reopen to show

    EXPECT_EQ(log.Events(), (Events{"open \\\\.\\COM12", "clear error 1"}));
    EXPECT_EQ(host.Seen(), Events{});
    EXPECT_EQ(sharedPort.Published(), port);
}

TEST_F(PortReopenerTest, ResumeWithNoPortFollowedDoesNothing) {
    PortReopener reopener(ports, sharedPort, host, Soon);
    reopener.CheckAfterResume();
    OpenAndFollow(reopener);
    reopener.Stop();  // as Close does
    ports.FailErrorQueries(31);
    reopener.CheckAfterResume();
    std::this_thread::sleep_for(20ms);

    EXPECT_EQ(host.Seen(), Events{});
    EXPECT_EQ(attempts, 0);
}

TEST_F(PortReopenerTest, TheEndOfTheProgramEndsAPendingWaitAtOnce) {
    auto reopener = std::make_unique<PortReopener>(ports, sharedPort, host, Never);
    OpenAndFollow(*reopener);
    reopener->DeviceGone(sharedPort.Generation());

    auto ended = std::async(std::launch::async, [&] { reopener.reset(); });
    ASSERT_EQ(ended.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(attempts, 0);
}

// The reader reports every read as a removal while Open runs again and again, and the
// reopener reopens as fast as it can: no read may start on, or overlap, a port's close, and
// every port is closed exactly once.
TEST_F(PortReopenerTest, ReopensAndOpensHandThePortOverWithoutAReadOnAClosedPort) {
    FakeSerialPorts failingPorts{nullptr};
    failingPorts.AnswerEveryReadWith({false, {}, 22});  // the device has gone
    SharedPortHandle busyPort{failingPorts};
    PortReopener reopener(failingPorts, busyPort, host, 0ms);
    std::atomic<bool> stop{false};

    std::thread reader([&] {
        std::uint8_t buffer[100];
        while (!stop) {
            const SharedPortHandle::ReadResult read = busyPort.Read(buffer, 20);
            if (read.deviceGone) reopener.DeviceGone(read.generation);
            if (!read.succeeded) std::this_thread::yield();
        }
    });
    for (int round = 0; round < 300; ++round) {
        reopener.Stop();
        busyPort.Close();
        busyPort.Publish(failingPorts.Open("COM12"));
        reopener.Follow(L"COM12", [&] { return failingPorts.Open("COM12"); });
    }
    stop = true;
    reader.join();
    reopener.Stop();
    busyPort.Close();

    EXPECT_EQ(failingPorts.Faults(), Events{});
}

}  // namespace
