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

// Every event shows what the slot holds at that moment.
class PortConnectionTest : public testing::Test {
protected:
    PortConnectionTest() {
        log.DescribeStateWith([this] { return " [slot " + std::to_string(slot.Published()) + "]"; });
    }

    static LineSettings Defaults(std::int32_t portIndex = 0) { return {5, 1, 0, 0, portIndex}; }

    void Open(const LineSettings& settings) { connection.Open(settings, OfferedPorts); }
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
    SharedPortHandle slot{ports};
    RecordingSleeper sleeper{log};
    RecordingHost host{log};
    RecordingReopenHost reopenHost{log};
    PortReopener reopener{ports, slot, reopenHost, std::chrono::milliseconds(1)};
    PortConnection connection{ports, slot, sleeper, host, reopener};
};

TEST_F(PortConnectionTest, FirstOpenPausesOpensConfiguresSetsTimeoutsThenPublishesAndResumesTheReader) {
    Open(Defaults());

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [slot 0]",
                                "sleep 100 ms [slot 0]",
                                "open COM1 [slot 0]",
                                "configure 1: baud 5, data bits 1, parity 0, stop bits 0 [slot 0]",
                                "time-outs 1: 30/10/200/0/0 [slot 0]",
                                "resume reader [slot 1]",
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
                  "close 1 [slot 0]",
                  "drop untyped bytes [slot 0]",
                  "sleep 100 ms [slot 0]",
                  "open COM9 [slot 0]",
                  "configure 2: baud 11, data bits 0, parity 1, stop bits 2 [slot 0]",
                  "time-outs 2: 30/10/200/0/0 [slot 0]",
                  "resume reader [slot 2]",
              }));
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, FailedOpenReportsItLeavesTheSlotEmptyAndStillResumesTheReader) {
    ports.MakeMissing("COM3");
    Open(Defaults(2));

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [slot 0]",
                                "sleep 100 ms [slot 0]",
                                "open COM3 [slot 0]",
                                "report port unavailable [slot 0]",
                                "resume reader [slot 0]",
                            }));
}

TEST_F(PortConnectionTest, FailedOpenAfterAWorkingOneLeavesNoPortBehind) {
    Open(Defaults(0));
    ports.MakeMissing("COM2");
    Open(Defaults(1));

    const Events events = log.Events();
    EXPECT_EQ(Events(events.begin() + 6, events.end()), (Events{
                                                             "close 1 [slot 0]",
                                                             "drop untyped bytes [slot 0]",
                                                             "sleep 100 ms [slot 0]",
                                                             "open COM2 [slot 0]",
                                                             "report port unavailable [slot 0]",
                                                             "resume reader [slot 0]",
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

    Events expected{"drop untyped bytes [slot 0]", "sleep 100 ms [slot 0]", "open COM5 [slot 0]"};
    expected.insert(expected.end(), GetParam().configurationSteps.begin(), GetParam().configurationSteps.end());
    expected.insert(expected.end(), {"close 1 [slot 0]", "report COM5 not set up: error 87 [slot 0]",
                                     "resume reader [slot 0]"});
    EXPECT_EQ(log.Events(), expected);
    ExpectNoFaults();
}

INSTANTIATE_TEST_SUITE_P(
    LineSettingsOrTimeOuts, PortThatRefusesItsConfiguration,
    testing::Values(Refusal{"LineSettings", &FakeSerialPorts::RefuseLineSettings,
                            {"configure 1: baud 5, data bits 1, parity 0, stop bits 1 [slot 0]"}},
                    Refusal{"TimeOuts", &FakeSerialPorts::RefuseTimeouts,
                            {"configure 1: baud 5, data bits 1, parity 0, stop bits 1 [slot 0]",
                             "time-outs 1: 30/10/200/0/0 [slot 0]"}}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(PortConnectionTest, RefusedSettingsAfterAWorkingOpenLeaveNoPortBehind) {
    Open(Defaults());
    ports.RefuseLineSettings(InvalidParameter);
    Open(Defaults());

    EXPECT_EQ(slot.Published(), NoPort);
    const Events events = log.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 1 [slot 0]"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 2 [slot 0]"), 1);
    ExpectNoFaults();
}

class PortPositionOutsideTheList : public PortConnectionTest,
                                   public testing::WithParamInterface<std::int32_t> {};

TEST_P(PortPositionOutsideTheList, OpensNothingAndFailsLikeAMissingPort) {
    Open(Defaults(GetParam()));

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [slot 0]",
                                "sleep 100 ms [slot 0]",
                                "report port unavailable [slot 0]",
                                "resume reader [slot 0]",
                            }));
}

INSTANTIATE_TEST_SUITE_P(NoSelectionAndBeyondCom9, PortPositionOutsideTheList,
                         testing::Values(-1, 10, INT_MAX));

TEST_F(PortConnectionTest, ClosePortClosesThePortAndEmptiesTheSlot) {
    Open(Defaults());
    connection.ClosePort();

    EXPECT_EQ(log.Events().back(), "close 1 [slot 0]");
    EXPECT_EQ(slot.Published(), NoPort);
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, ClosePortWithNoPortOpenDoesNothing) {
    connection.ClosePort();
    Open(Defaults());
    connection.ClosePort();
    connection.ClosePort();

    const Events events = log.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 1 [slot 0]"), 1);
    EXPECT_EQ(events.front(), "drop untyped bytes [slot 0]");
    ExpectNoFaults();
}

// A port above COM9, and the wait for its device once it has gone.

TEST_F(PortConnectionTest, APortAboveCom9OpensByItsDeviceNamespaceName) {
    Open(Defaults(Com12));

    EXPECT_EQ(log.Events()[2], "open \\\\.\\COM12 [slot 0]");
    EXPECT_NE(slot.Published(), NoPort);
}

TEST_F(PortConnectionTest, AVanishedDeviceIsOpenedAgainWithTheSameSettingsOnceBackAndNotBefore) {
    Open({7, 0, 2, 0, Com12});
    const PortHandle gone = slot.Published();
    ports.MakeMissing("\\\\.\\COM12");
    reopener.DeviceGone(gone);
    ASSERT_TRUE(WaitForEvent("open \\\\.\\COM12 [slot 0]", 2));  // an attempt that failed
    ports.MakeBack("\\\\.\\COM12");
    ASSERT_TRUE(WaitForEvent("wait ended [slot 2]", 1));

    const Events events = log.Events();
    const auto back = std::find(events.begin(), events.end(), "wait ended [slot 2]");
    EXPECT_EQ(Events(back - 3, back), (Events{
                                          "open \\\\.\\COM12 [slot 0]",
                                          "configure 2: baud 7, data bits 0, parity 2, stop bits 0 [slot 0]",
                                          "time-outs 2: 30/10/200/0/0 [slot 0]",
                                      }));
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, APortThatOpensButRefusesItsSettingsIsNotBackYet) {
    Open(Defaults(Com12));
    ports.RefuseTimeouts(InvalidParameter);
    reopener.DeviceGone(slot.Published());
    ASSERT_TRUE(WaitForEvent("close 2 [slot 0]", 1));

    EXPECT_EQ(slot.Published(), NoPort);
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, OpenAndClosePortEndTheWaitForAVanishedDeviceFirst) {
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "Open" : "ClosePort");
        Open(Defaults(Com12));
        ports.MakeMissing("\\\\.\\COM12");
        reopener.DeviceGone(slot.Published());
        const std::size_t before = log.Events().size();
        if (open)
            Open(Defaults(0));
        else
            connection.ClosePort();

        const Events events = log.Events();
        const auto ended = std::find(events.begin() + before, events.end(), "wait ended [slot 0]");
        ASSERT_NE(ended, events.end());
        if (open) {
            EXPECT_NE(std::find(ended, events.end(), "drop untyped bytes [slot 0]"), events.end());
        }
        connection.ClosePort();
        ports.MakeBack("\\\\.\\COM12");
    }
    ExpectNoFaults();
}

}  // namespace
