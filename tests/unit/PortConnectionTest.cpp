// The open sequence and the close, checked step by step against a fake platform.
#include "serial/PortConnection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/FakeSerialPorts.h"
#include "fakes/RecordingSleeper.h"

namespace {

using Events = std::vector<std::string>;

class RecordingHost final : public ConnectionHost {
public:
    explicit RecordingHost(EventLog& log) : log_(log) {}
    void ReportPortUnavailable() override { log_.Add("report port unavailable"); }
    void ReportPortNotSetUp(const std::string& deviceName, PortError error) override {
        log_.Add("report " + deviceName + " not set up: error " + std::to_string(error));
    }
    void DropUntypedBytes() override { log_.Add("drop untyped bytes"); }
    void ResumeReader() override { log_.Add("resume reader"); }

private:
    EventLog& log_;
};

class RecordingReopenHost final : public ReopenHost {
public:
    explicit RecordingReopenHost(EventLog& log) : log_(log) {}
    void WaitingForDevice(const std::wstring& portName) override {
        log_.Add("waiting for " + std::string(portName.begin(), portName.end()));
    }
    void DeviceWaitEnded() override { log_.Add("wait ended"); }

private:
    EventLog& log_;
};

// The port list of a system with one port above COM9.
const std::vector<std::wstring> OfferedPorts = {L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6",
                                                L"COM7", L"COM8", L"COM9", L"COM12"};
constexpr std::int32_t Com12 = 9;

// Every event shows what the shared handle holds at that moment.
class PortConnectionTest : public testing::Test {
protected:
    PortConnectionTest() {
        log.DescribeStateWith([this] { return " [published " + std::to_string(sharedPort.Published()) + "]"; });
    }

    static LineSettings Defaults(std::int32_t portIndex = 0) { return {5, 1, 0, 0, portIndex}; }

    // Open with the port at the settings' position in the list, as the window passes it.
    void Open(const LineSettings& settings, PortConnection::OnFailure onFailure = PortConnection::OnFailure::Report) {
        const std::int32_t at = settings.portIndex;
        const bool offered = at >= 0 && static_cast<std::size_t>(at) < OfferedPorts.size();
        connection.Open(offered ? OfferedPorts[at] : L"", settings, onFailure);
    }
    void ExpectNoFaults() { EXPECT_EQ(ports.Faults(), Events{}); }

    // Waits until the log holds `event` at least `times` times.
    bool WaitForEvent(const std::string& event, int times) {
        for (int tries = 0; tries < 10000; ++tries) {
            const Events events = log.Events();
            if (std::count(events.begin(), events.end(), event) >= times) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    EventLog log;
    FakeSerialPorts ports{&log};
    SharedPortHandle sharedPort{ports};
    RecordingSleeper sleeper{log};
    RecordingHost host{log};
    RecordingReopenHost reopenHost{log};
    PortReopener reopener{ports, sharedPort, reopenHost, std::chrono::milliseconds(1)};
    PortConnection connection{ports, sharedPort, sleeper, host, reopener};
};

TEST_F(PortConnectionTest, FirstOpenPausesOpensConfiguresSetsTimeoutsThenPublishesAndResumesTheReader) {
    Open(Defaults());

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [published 0]",
                                "sleep 100 ms [published 0]",
                                "open COM1 [published 0]",
                                "configure 1: 9600 baud, 8 data bits, parity none, stop bits 1 [published 0]",
                                "time-outs 1: 30/10/200 [published 0]",
                                "resume reader [published 1]",
                            }));
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, OpenWhileAPortIsOpenReleasesItBeforeThePauseAndTheNewOpen) {
    Open(Defaults(0));
    const LineSettings com9At115200Odd{11, 0, 1, 2, 8};
    Open(com9At115200Odd);

    const Events events = log.Events();
    EXPECT_EQ(Events(events.begin() + 6, events.end()),
              (Events{
                  "close 1 [published 0]",
                  "drop untyped bytes [published 0]",
                  "sleep 100 ms [published 0]",
                  "open COM9 [published 0]",
                  "configure 2: 115200 baud, 7 data bits, parity odd, stop bits 2 [published 0]",
                  "time-outs 2: 30/10/200 [published 0]",
                  "resume reader [published 2]",
              }));
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, FailedOpenReportsItLeavesNoPortPublishedAndStillResumesTheReader) {
    ports.MakeMissing("COM3");
    Open(Defaults(2));

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [published 0]",
                                "sleep 100 ms [published 0]",
                                "open COM3 [published 0]",
                                "report port unavailable [published 0]",
                                "resume reader [published 0]",
                            }));
}

TEST_F(PortConnectionTest, FailedOpenAfterAWorkingOneLeavesNoPortBehind) {
    Open(Defaults(0));
    ports.MakeMissing("COM2");
    Open(Defaults(1));

    const Events events = log.Events();
    EXPECT_EQ(Events(events.begin() + 6, events.end()), (Events{
                                                             "close 1 [published 0]",
                                                             "drop untyped bytes [published 0]",
                                                             "sleep 100 ms [published 0]",
                                                             "open COM2 [published 0]",
                                                             "report port unavailable [published 0]",
                                                             "resume reader [published 0]",
                                                         }));
    ExpectNoFaults();
}

// ERROR_INVALID_PARAMETER, what a driver answers to 1.5 stop bits with 8 data bits.
constexpr PortError InvalidParameter = 87;

struct Refusal {
    const char* name;
    void (FakeSerialPorts::*refuse)(PortError);
    Events configurationSteps;  // up to the one refused
};

class PortThatRefusesItsConfiguration : public PortConnectionTest,
                                        public testing::WithParamInterface<Refusal> {};

TEST_P(PortThatRefusesItsConfiguration, IsClosedAndReportedWithTheErrorAndNeverPublished) {
    (ports.*GetParam().refuse)(InvalidParameter);
    Open({5, 1, 0, 1, 4});

    Events expected{"drop untyped bytes [published 0]", "sleep 100 ms [published 0]", "open COM5 [published 0]"};
    expected.insert(expected.end(), GetParam().configurationSteps.begin(), GetParam().configurationSteps.end());
    expected.insert(expected.end(), {"close 1 [published 0]", "report COM5 not set up: error 87 [published 0]",
                                     "resume reader [published 0]"});
    EXPECT_EQ(log.Events(), expected);
    ExpectNoFaults();
}

INSTANTIATE_TEST_SUITE_P(
    LineSettingsOrTimeOuts, PortThatRefusesItsConfiguration,
    testing::Values(Refusal{"LineSettings", &FakeSerialPorts::RefuseLineSettings,
                            {"configure 1: 9600 baud, 8 data bits, parity none, stop bits 1.5 [published 0]"}},
                    Refusal{"TimeOuts", &FakeSerialPorts::RefuseTimeouts,
                            {"configure 1: 9600 baud, 8 data bits, parity none, stop bits 1.5 [published 0]",
                             "time-outs 1: 30/10/200 [published 0]"}}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(PortConnectionTest, RefusedSettingsAfterAWorkingOpenLeaveNoPortBehind) {
    Open(Defaults());
    ports.RefuseLineSettings(InvalidParameter);
    Open(Defaults());

    EXPECT_EQ(sharedPort.Published(), NoPort);
    const Events events = log.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 1 [published 0]"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 2 [published 0]"), 1);
    ExpectNoFaults();
}

class PortPositionOutsideTheList : public PortConnectionTest,
                                   public testing::WithParamInterface<std::int32_t> {};

TEST_P(PortPositionOutsideTheList, OpensNothingAndFailsLikeAMissingPort) {
    Open(Defaults(GetParam()));

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [published 0]",
                                "sleep 100 ms [published 0]",
                                "report port unavailable [published 0]",
                                "resume reader [published 0]",
                            }));
}

INSTANTIATE_TEST_SUITE_P(NoSelectionAndBeyondCom9, PortPositionOutsideTheList,
                         testing::Values(-1, 10, INT_MAX));

TEST_F(PortConnectionTest, ClosePortClosesThePortAndPublishesNone) {
    Open(Defaults());
    ClosePort(reopener, sharedPort);

    EXPECT_EQ(log.Events().back(), "close 1 [published 0]");
    EXPECT_EQ(sharedPort.Published(), NoPort);
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, ClosePortWithNoPortOpenDoesNothing) {
    ClosePort(reopener, sharedPort);
    Open(Defaults());
    ClosePort(reopener, sharedPort);
    ClosePort(reopener, sharedPort);

    const Events events = log.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 1 [published 0]"), 1);
    EXPECT_EQ(events.front(), "drop untyped bytes [published 0]");
    ExpectNoFaults();
}

// A port above COM9, and the wait for its device once it has gone.

TEST_F(PortConnectionTest, APortAboveCom9OpensByItsDeviceNamespaceName) {
    Open(Defaults(Com12));

    EXPECT_EQ(log.Events()[2], "open \\\\.\\COM12 [published 0]");
    EXPECT_NE(sharedPort.Published(), NoPort);
}

TEST_F(PortConnectionTest, AVanishedDeviceIsOpenedAgainWithTheSameSettingsOnceBackAndNotBefore) {
    Open({7, 0, 2, 0, Com12});
    ports.MakeMissing("\\\\.\\COM12");
    reopener.DeviceGone(sharedPort.Generation());
    ASSERT_TRUE(WaitForEvent("open \\\\.\\COM12 [published 0]", 2));  // an attempt that failed
    ports.MakeBack("\\\\.\\COM12");
    ASSERT_TRUE(WaitForEvent("wait ended [published 2]", 1));

    const Events events = log.Events();
    const auto back = std::find(events.begin(), events.end(), "wait ended [published 2]");
    EXPECT_EQ(Events(back - 3, back), (Events{
                                          "open \\\\.\\COM12 [published 0]",
                                          "configure 2: 19200 baud, 7 data bits, parity even, stop bits 1"
                                          " [published 0]",
                                          "time-outs 2: 30/10/200 [published 0]",
                                      }));
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, APortThatOpensButRefusesItsSettingsIsNotBackYet) {
    Open(Defaults(Com12));
    ports.RefuseTimeouts(InvalidParameter);
    reopener.DeviceGone(sharedPort.Generation());
    ASSERT_TRUE(WaitForEvent("close 2 [published 0]", 1));

    EXPECT_EQ(sharedPort.Published(), NoPort);
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, OpenAndClosePortEndTheWaitForAVanishedDeviceFirst) {
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "Open" : "ClosePort");
        Open(Defaults(Com12));
        ports.MakeMissing("\\\\.\\COM12");
        reopener.DeviceGone(sharedPort.Generation());
        const std::size_t before = log.Events().size();
        if (open)
            Open(Defaults(0));
        else
            ClosePort(reopener, sharedPort);

        const Events events = log.Events();
        const auto ended = std::find(events.begin() + before, events.end(), "wait ended [published 0]");
        ASSERT_NE(ended, events.end());
        if (open) {
            EXPECT_NE(std::find(ended, events.end(), "drop untyped bytes [published 0]"), events.end());
        }
        ClosePort(reopener, sharedPort);
        ports.MakeBack("\\\\.\\COM12");
    }
    ExpectNoFaults();
}

// An unattended start opens a port that may come later, and waits for it.

TEST_F(PortConnectionTest, AnUnattendedStartWaitsWithoutAWordForAPortThatIsNotThereYet) {
    ports.MakeMissing("\\\\.\\COM12");
    Open({7, 1, 2, 0, Com12}, PortConnection::OnFailure::Wait);
    ASSERT_TRUE(WaitForEvent("open \\\\.\\COM12 [published 0]", 2));  // an attempt that failed
    ports.MakeBack("\\\\.\\COM12");
    ASSERT_TRUE(WaitForEvent("wait ended [published 1]", 1));

    const Events events = log.Events();
    EXPECT_EQ(Events(events.begin(), events.begin() + 5), (Events{
                                                              "drop untyped bytes [published 0]",
                                                              "sleep 100 ms [published 0]",
                                                              "open \\\\.\\COM12 [published 0]",
                                                              "waiting for COM12 [published 0]",
                                                              "resume reader [published 0]",
                                                          }));
    const auto back = std::find(events.begin(), events.end(), "wait ended [published 1]");
    EXPECT_EQ(*(back - 2), "configure 1: 19200 baud, 8 data bits, parity even, stop bits 1 [published 0]");
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.find("report") == 0; }),
              0);
    ExpectNoFaults();
}

struct FailureAtStart {
    const char* what;
    void (*fail)(FakeSerialPorts&);
    const char* report;
};

// Nobody is there to press Open again: the user is told, and the port is waited for all the same.
TEST_F(PortConnectionTest, AnUnattendedStartReportsAPortThatFailsOtherwiseAndWaitsForItToo) {
    const FailureAtStart failures[] = {
        {"held by another program", [](FakeSerialPorts& p) { p.MakeHeldElsewhere("COM3"); },
         "report port unavailable"},
        {"refusing its settings", [](FakeSerialPorts& p) { p.RefuseLineSettings(InvalidParameter); },
         "report COM3 not set up: error 87"},
    };
    for (const FailureAtStart& failure : failures) {
        SCOPED_TRACE(failure.what);
        EventLog startLog;
        FakeSerialPorts startPorts{&startLog};
        SharedPortHandle handle{startPorts};
        RecordingHost startHost{startLog};
        RecordingReopenHost waits{startLog};
        PortReopener waiter{startPorts, handle, waits, std::chrono::milliseconds(1)};
        failure.fail(startPorts);

        PortConnection(startPorts, handle, sleeper, startHost, waiter)
            .Open(L"COM3", Defaults(), PortConnection::OnFailure::Wait);
        const Events events = startLog.Events();
        const auto reported = std::find(events.begin(), events.end(), failure.report);
        ASSERT_NE(reported, events.end());
        EXPECT_EQ(*(reported + 1), "waiting for COM3");

        startPorts.MakeBack("COM3");
        startPorts.RefuseLineSettings(NoError);
        for (int tries = 0; tries < 10000 && handle.Published() == NoPort; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_NE(handle.Published(), NoPort);
        ClosePort(waiter, handle);
        EXPECT_EQ(startPorts.Faults(), Events{});
    }
}

}  // namespace
