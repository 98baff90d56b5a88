// The reader's cycle: pauses, 20-byte reads into the typing queue, back-off, losses, and its part in a close.
#include "serial/PortReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/FakeSerialPorts.h"
#include "fakes/RecordingKeySink.h"
#include "fakes/RecordingSleeper.h"
#include "fakes/ScriptedDesktop.h"
#include "serial/TypingGate.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<std::string>;
using namespace std::chrono_literals;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

class PortReaderTest : public testing::Test {
protected:
    void OpenAndPublish(const char* deviceName) { sharedPort.Publish(ports.Open(deviceName)); }

    void RunCycles(int cycles) {
        for (int i = 0; i < cycles; ++i) reader.RunCycle();
    }

    // What the reader did, without what the user-interface side did meanwhile.
    Events ReaderEvents() const {
        Events events;
        for (const std::string& event : log.Events())
            if (!StartsWith(event, "open ") && !StartsWith(event, "close ") && !StartsWith(event, "cancel "))
                events.push_back(event);
        return events;
    }

    static bool StartsWith(const std::string& text, const std::string& start) {
        return text.compare(0, start.size(), start) == 0;
    }

    // Everything the reader has put into the typing queue, in order.
    Bytes Queued() {
        Bytes bytes;
        TypingQueue::Taken taken;
        if (queue.Size() > 0) queue.Take(bytes, queue.Size(), taken);
        return bytes;
    }

    EventLog log;
    FakeSerialPorts ports{&log};
    SharedPortHandle sharedPort{ports};
    RecordingSleeper sleeper{log};
    TypingQueue queue;
    struct RecordingRemovals final : RemovalListener {
        void DeviceGone(std::uint64_t generation) override { gone.push_back(generation); }
        std::vector<std::uint64_t> gone;
    } removals;
    struct RecordingLosses final : LossListener {
        void DriverOverran() override { ++overruns; }
        void BytesLost(std::size_t count) override { lost.push_back(count); }
        int overruns = 0;
        std::vector<std::size_t> lost;
    } losses;
    PortReader reader{sharedPort, sleeper, queue, removals, losses};
};

TEST_F(PortReaderTest, ShortReadIsQueuedAndTheNextReadComesAfterThePause) {
    OpenAndPublish("COM1");
    ports.QueueRead({true, Text("AB")});
    ports.QueueRead({true, Text("c\r")});
    RunCycles(2);

    EXPECT_EQ(ReaderEvents(), (Events{"sleep 100 ms", "read 1: up to 20", "sleep 100 ms", "read 1: up to 20"}));
    EXPECT_EQ(Queued(), Text("ABc\r"));
}

TEST_F(PortReaderTest, FullReadIsFollowedByTheNextReadAtOnce) {
    const Bytes burst = Text("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef");
    OpenAndPublish("COM1");
    ports.QueueRead({true, Bytes(burst.begin(), burst.begin() + 20)});
    ports.QueueRead({true, Bytes(burst.begin() + 20, burst.begin() + 40)});
    ports.QueueRead({true, Bytes(burst.begin() + 40, burst.end())});
    ports.QueueRead({true, Text("!")});
    RunCycles(4);

    EXPECT_EQ(ReaderEvents(), (Events{
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                                  "read 1: up to 20",
                                  "read 1: up to 20",
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                              }));
    EXPECT_EQ(Queued(), Text("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef!"));
}

// Whether a read ends empty or fails, the reader asks the port after its device and its errors,
// queues nothing, backs off, and queues the next read.
class EmptyOrFailedRead : public PortReaderTest, public testing::WithParamInterface<bool> {};

TEST_P(EmptyOrFailedRead, QueuesNothingClearsTheErrorStateBacksOffAndTheNextReadIsQueued) {
    OpenAndPublish("COM1");
    ports.QueueRead({GetParam(), {}});
    ports.QueueRead({true, Text("z")});
    RunCycles(2);

    EXPECT_EQ(ReaderEvents(), (Events{
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                                  "clear error 1",
                                  "sleep 50 ms",
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                              }));
    EXPECT_EQ(Queued(), Text("z"));
    EXPECT_EQ(ports.Faults(), Events{});
    EXPECT_EQ(removals.gone, std::vector<std::uint64_t>{});
}

INSTANTIATE_TEST_SUITE_P(EmptyThenFailed, EmptyOrFailedRead, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Empty" : "Failed"; });

// Windows fails the read of a removed device; Wine ends it empty and fails the error query.
TEST_F(PortReaderTest, AReadThatFindsTheDeviceGoneIsReportedWithItsPublicationAndBacksOff) {
    struct Case {
        FakeSerialPorts::ReadOutcome read;
        PortError query;
    };
    for (const Case& removal : {Case{{false, {}, 22}, 22}, Case{{false, {}, FakeSerialPorts::Aborted}, 5},
                                Case{{true, {}}, 21}}) {
        sharedPort.Publish(ports.Open("\\\\.\\COM12"));
        ports.QueueRead(removal.read);
        ports.FailErrorQueries(removal.query);
        RunCycles(1);

        EXPECT_EQ(removals.gone, std::vector<std::uint64_t>{sharedPort.Generation()})
            << testing::PrintToString(removal.read);
        EXPECT_EQ(log.Events().back(), "sleep 50 ms");
        removals.gone.clear();
        sharedPort.Close();
    }
}

// While the typing waits the reader goes on reading at its own pace: the driver's queue never fills.
TEST_F(PortReaderTest, AHoldLongerThanTheDriversQueueLosesNothingAndIsTypedInOrderOnceItEnds) {
    RecordingKeySink keys;
    ScriptedDesktop desktop;
    TargetWatch target{desktop};
    struct : TypingListener {
        void TypingWaits(TargetWait) override {}
    } listener;
    TypingGate typing{queue, keys, target, sleeper, listener};
    typing.Hold();  // the settings window is in front, say
    OpenAndPublish("COM1");
    // 8 KiB, twice what many drivers hold, read while nothing is typed.
    Bytes sent;
    for (int read = 0; read < 410; ++read) {
        const Bytes bytes = Text(std::string(19, char('a' + read % 26)) + "\r");
        ports.QueueRead({true, bytes});
        sent.insert(sent.end(), bytes.begin(), bytes.end());
    }
    RunCycles(410);
    EXPECT_EQ(queue.Size(), sent.size());

    typing.Release();
    while (queue.Size() > 0) typing.TypeNext();

    KeyEvents expected;
    const std::u32string characters(sent.begin(), sent.end());
    AppendKeyTableStrokes(expected, characters.data(), characters.size());
    EXPECT_EQ(keys.Events(), expected);
    EXPECT_EQ(losses.lost, std::vector<std::size_t>{});
}

TEST_F(PortReaderTest, PastTheQueuesBoundTheOldestBytesAreKeptAndTheLostOnesCounted) {
    TypingQueue small{50};
    PortReader smallReader{sharedPort, sleeper, small, removals, losses};
    OpenAndPublish("COM1");
    for (const char* read : {"first read .........", "second read ........", "third read .........",
                             "fourth read ........"})
        ports.QueueRead({true, Text(read)});
    for (int cycle = 0; cycle < 4; ++cycle) smallReader.RunCycle();

    EXPECT_EQ(losses.lost, (std::vector<std::size_t>{10, 20}));
    Bytes kept;
    TypingQueue::Taken taken;
    small.Take(kept, 100, taken);
    EXPECT_EQ(kept, Text("first read .........second read ........third read"));
}

TEST_F(PortReaderTest, AReadThatAnOpenOvertakesIsNotQueued) {
    OpenAndPublish("COM1");
    std::thread readerThread([&] { reader.RunCycle(); });  // blocked in a read on a quiet line
    ASSERT_TRUE(ports.WaitUntilReadBlocked(10s));
    queue.Drop();  // what Open does after it has released the old port
    sharedPort.Close();
    readerThread.join();
    ports.QueueRead({true, Text("new")});
    OpenAndPublish("COM2");
    RunCycles(1);

    EXPECT_EQ(Queued(), Text("new"));
}

// The driver keeps its overrun flag until asked; the reader asks after an empty read, and after
// every 32 reads that brought bytes.
TEST_F(PortReaderTest, ADriverOverrunIsReportedOnceTheReaderAsksForIt) {
    OpenAndPublish("COM1");
    const Bytes full = Text("01234567890123456789");
    for (int read = 0; read < 31; ++read) ports.QueueRead({true, full});
    ports.OverrunBeforeNextQuery();
    RunCycles(31);
    EXPECT_EQ(losses.overruns, 0);

    ports.QueueRead({true, full});
    RunCycles(1);
    EXPECT_EQ(losses.overruns, 1);
    EXPECT_EQ(ReaderEvents().back(), "clear error 1");

    ports.OverrunBeforeNextQuery();
    ports.QueueRead({true, {}});
    RunCycles(1);
    EXPECT_EQ(losses.overruns, 2);
}

TEST_F(PortReaderTest, WaitsWithoutReadingWhileNoPortIsPublished) {
    ports.QueueRead({true, Text("x")});
    std::thread readerThread([&] { reader.RunCycle(); });
    OpenAndPublish("COM1");
    readerThread.join();

    EXPECT_EQ(ReaderEvents(), (Events{"sleep 100 ms", "read 1: up to 20"}));
    EXPECT_EQ(Queued(), Text("x"));
}

TEST_F(PortReaderTest, CloseDuringAReadCutsItShortThenTheReaderBacksOffAndWaitsForTheNextPort) {
    OpenAndPublish("COM1");
    std::thread readerThread([&] {
        reader.RunCycle();  // blocked in a read on a quiet line until the close
        reader.RunCycle();  // waits for the next port
    });
    ASSERT_TRUE(ports.WaitUntilReadBlocked(10s));
    sharedPort.Close();
    ports.QueueRead({true, Text("new")});
    OpenAndPublish("COM2");
    readerThread.join();

    EXPECT_EQ(ReaderEvents(), (Events{
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                                  "sleep 50 ms",
                                  "sleep 100 ms",
                                  "read 2: up to 20",
                              }));
    const Events events = log.Events();
    EXPECT_NE(std::find(events.begin(), events.end(), "cancel 1"), events.end());
    EXPECT_EQ(Queued(), Text("new"));
    EXPECT_EQ(ports.Faults(), Events{});
}

}  // namespace
