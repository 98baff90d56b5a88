// The hand-over of the port between the user-interface thread and the reader thread.
#include "serial/SharedPortHandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/FakeSerialPorts.h"

namespace {

using Events = std::vector<std::string>;
using namespace std::chrono_literals;

class SharedPortHandleTest : public testing::Test {
protected:
    PortHandle OpenAndPublish() {
        const PortHandle port = ports.Open("COM1");
        sharedPort.Publish(port);
        return port;
    }

    EventLog log;
    FakeSerialPorts ports{&log};
    SharedPortHandle sharedPort{ports};
    std::uint8_t buffer[100] = {};
};

TEST_F(SharedPortHandleTest, AWaitingReaderGoesOnOnceAPortIsPublished) {
    std::promise<void> waited;
    std::thread reader([&] {
        sharedPort.WaitForPort();
        waited.set_value();
    });
    OpenAndPublish();
    EXPECT_EQ(waited.get_future().wait_for(10s), std::future_status::ready);
    reader.join();
}

TEST_F(SharedPortHandleTest, ReadWithNoPortPublishedFailsWithoutTouchingAPort) {
    EXPECT_FALSE(sharedPort.Read(buffer, 20).succeeded);

    const PortHandle port = OpenAndPublish();
    sharedPort.Close();
    EXPECT_FALSE(sharedPort.Read(buffer, 20).succeeded);

    EXPECT_EQ(log.Events(), (Events{"open COM1", "close " + std::to_string(port)}));
}

TEST_F(SharedPortHandleTest, ReadGoesToThePublishedPort) {
    ports.QueueRead({true, {'h', 'i'}});
    OpenAndPublish();

    const SharedPortHandle::ReadResult read = sharedPort.Read(buffer, 20);
    EXPECT_TRUE(read.succeeded);
    EXPECT_EQ(read.count, 2u);
    EXPECT_EQ(buffer[0], 'h');
    EXPECT_EQ(log.Events(), (Events{"open COM1", "read 1: up to 20"}));
}

TEST_F(SharedPortHandleTest, CloseWithNoReadInProgressClosesAtOnce) {
    OpenAndPublish();
    sharedPort.Close();

    EXPECT_EQ(log.Events(), (Events{"open COM1", "close 1"}));
    EXPECT_EQ(sharedPort.Published(), NoPort);
}

TEST_F(SharedPortHandleTest, CloseDuringAReadCutsTheReadShortAndClosesOnlyAfterItHasEnded) {
    OpenAndPublish();
    std::atomic<bool> readSucceeded{true};
    std::thread reader([&] { readSucceeded = sharedPort.Read(buffer, 20).succeeded; });
    ASSERT_TRUE(ports.WaitUntilReadBlocked(10s));

    sharedPort.Close();
    reader.join();

    EXPECT_FALSE(readSucceeded);
    const Events events = log.Events();
    EXPECT_EQ(events.back(), "close 1");
    EXPECT_NE(std::find(events.begin(), events.end(), "cancel 1"), events.end());
    EXPECT_EQ(ports.Faults(), Events{});
}

// A reader that reads without pause while the other thread opens and closes
// ports as fast as it can: no read may start on, or overlap, a port's close.
TEST_F(SharedPortHandleTest, NoReadEverOverlapsOrFollowsTheCloseOfItsPort) {
    FakeSerialPorts quietPorts{nullptr};
    quietPorts.AnswerEveryReadWith({true, {'x'}});
    SharedPortHandle busyPort{quietPorts};

    std::atomic<bool> stop{false};
    std::thread reader([&] {
        std::uint8_t readerBuffer[100];
        while (!stop) busyPort.Read(readerBuffer, 20);
    });
    for (int round = 0; round < 500; ++round) {
        const PortHandle port = quietPorts.Open("COM1");
        busyPort.Publish(port);
        ASSERT_TRUE(quietPorts.WaitUntilReadBegunOn(port, 10s));
        busyPort.Close();
    }
    stop = true;
    reader.join();

    EXPECT_EQ(quietPorts.Faults(), Events{});
}

}  // namespace
