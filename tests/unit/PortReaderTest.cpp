// The reader's cycle: pauses, 20-byte reads, typing, back-off, and its part in a close.
#include "serial/PortReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/FakeKeyboardLayout.h"
#include "fakes/FakeSerialPorts.h"
#include "fakes/RecordingKeySink.h"
#include "fakes/RecordingSleeper.h"
#include "fakes/ScriptedDesktop.h"

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

    void ExpectTyped(const Bytes& bytes) {
        KeyEvents expected;
        AppendKeyTableStrokes(expected, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        EXPECT_EQ(keys.Events(), expected);
    }

    EventLog log;
    FakeSerialPorts ports{&log};
    SharedPortHandle sharedPort{ports};
    RecordingSleeper sleeper{log};
    RecordingKeySink keys;
    ScriptedDesktop desktop;
    TargetWatch target{desktop};
    struct : TypingListener {
        void TypingWaits(TargetWait) override {}
    } listener;
    TypingGate typing{keys, target, sleeper, listener};
    struct RecordingRemovals final : RemovalListener {
        void DeviceGone(PortHandle port) override { gone.push_back(port); }
        std::vector<PortHandle> gone;
    } removals;
    PortReader reader{sharedPort, sleeper, typing, removals};
};

TEST_F(PortReaderTest, ShortReadIsTypedAndTheNextReadComesAfterThePause) {
    OpenAndPublish("COM1");
    ports.QueueRead({true, Text("AB")});
    ports.QueueRead({true, Text("c\r")});
    RunCycles(2);

    EXPECT_EQ(ReaderEvents(), (Events{"sleep 100 ms", "read 1: up to 20", "sleep 100 ms", "read 1: up to 20"}));
    ExpectTyped(Text("ABc\r"));
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
    ExpectTyped(Text("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef!"));
}

TEST_F(PortReaderTest, TypesCharactersOnTheLayoutItIsGivenAndTheKeyTableWithout) {
    FakeKeyboardLayout german = fake_layouts::German();
    OpenAndPublish("COM1");
    ports.QueueRead({true, Text("@z\r")});
    ports.QueueRead({true, Text("@z\r")});
    typing.TypeCharactersOn(&german);
    RunCycles(1);
    typing.TypeCharactersOn(nullptr);
    RunCycles(1);

    KeyEvents expected;
    const Bytes bytes = Text("@z\r");
    AppendCharacterStrokes(expected, german, bytes.data(), 3);
    AppendKeyTableStrokes(expected, bytes.data(), 3);
    EXPECT_EQ(keys.Events(), expected);
}

// Whether a read ends empty or fails, the reader asks the port after its device and its errors,
// types nothing, backs off, and types the next read.
class EmptyOrFailedRead : public PortReaderTest, public testing::WithParamInterface<bool> {};

TEST_P(EmptyOrFailedRead, TypesNothingClearsTheErrorStateBacksOffAndTheNextReadIsTyped) {
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
    ExpectTyped(Text("z"));
    EXPECT_EQ(ports.Faults(), Events{});
    EXPECT_EQ(removals.gone, std::vector<PortHandle>{});
}

INSTANTIATE_TEST_SUITE_P(EmptyThenFailed, EmptyOrFailedRead, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Empty" : "Failed"; });

// Windows fails the read of a removed device; Wine ends it empty and fails the error query.
TEST_F(PortReaderTest, AReadThatFindsTheDeviceGoneIsReportedWithItsPortAndBacksOff) {
    struct Case {
        FakeSerialPorts::ReadOutcome read;
        PortError query;
    };
    for (const Case& removal : {Case{{false, {}, 22}, 22}, Case{{false, {}, FakeSerialPorts::Aborted}, 5},
                                Case{{true, {}}, 21}}) {
        const PortHandle port = ports.Open("\\\\.\\COM12");
        sharedPort.Publish(port);
        ports.QueueRead(removal.read);
        ports.FailErrorQueries(removal.query);
        RunCycles(1);

        EXPECT_EQ(removals.gone, std::vector<PortHandle>{port}) << testing::PrintToString(removal.read);
        EXPECT_EQ(log.Events().back(), "sleep 50 ms");
        removals.gone.clear();
        sharedPort.Close();
    }
}

TEST_F(PortReaderTest, BytesReadWhileTheProgramsOwnWindowHasTheFocusWaitAndNoFurtherReadIsMade) {
    desktop.Script([](int look) { return look <= 2 ? ScriptedDesktop::OwnWindow : ScriptedDesktop::Elsewhere; });
    OpenAndPublish("COM1");
    ports.QueueRead({true, Text("\t\r\x1b")});
    ports.QueueRead({true, Text("z")});
    RunCycles(2);

    EXPECT_EQ(ReaderEvents(), (Events{
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                                  "sleep 50 ms",
                                  "sleep 50 ms",
                                  "sleep 100 ms",
                                  "read 1: up to 20",
                              }));
    ExpectTyped(Text("\t\r\x1bz"));
}

TEST_F(PortReaderTest, WaitsWithoutReadingWhileNoPortIsPublished) {
    ports.QueueRead({true, Text("x")});
    std::thread readerThread([&] { reader.RunCycle(); });
    OpenAndPublish("COM1");
    readerThread.join();

    EXPECT_EQ(ReaderEvents(), (Events{"sleep 100 ms", "read 1: up to 20"}));
    ExpectTyped(Text("x"));
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
    ExpectTyped(Text("new"));
    EXPECT_EQ(ports.Faults(), Events{});
}

}  // namespace
