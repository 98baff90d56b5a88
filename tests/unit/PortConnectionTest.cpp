// The open sequence and the close, checked step by step against a fake platform.
#include "serial/PortConnection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/FakeSerialPorts.h"
#include "fakes/RecordingSleeper.h"

namespace {

using Events = std::vector<std::string>;

TEST(DeviceNameFor, PortPositionsNameCom1ToCom9) {
    for (std::int32_t position = 0; position <= 8; ++position)
        EXPECT_EQ(DeviceNameFor(position), "COM" + std::to_string(position + 1));
}

TEST(DeviceNameFor, NoOtherPositionFormsAName) {
    for (std::int32_t position : {-1, 9, 10, 48, INT_MIN, INT_MAX}) {
        SCOPED_TRACE("port position " + std::to_string(position));
        EXPECT_EQ(DeviceNameFor(position), std::nullopt);
    }
}

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

// Every event shows what the slot holds at that moment.
class PortConnectionTest : public testing::Test {
protected:
    PortConnectionTest() {
        log.DescribeStateWith([this] { return " [slot " + std::to_string(slot.Published()) + "]"; });
    }

    static LineSettings Defaults(std::int32_t portIndex = 0) { return {5, 1, 0, 0, portIndex}; }

    void ExpectNoFaults() { EXPECT_EQ(ports.Faults(), Events{}); }

    EventLog log;
    FakeSerialPorts ports{&log};
    SharedPortHandle slot{ports};
    RecordingSleeper sleeper{log};
    RecordingHost host{log};
    PortConnection connection{ports, slot, sleeper, host};
};

TEST_F(PortConnectionTest, FirstOpenPausesOpensConfiguresSetsTimeoutsThenPublishesAndResumesTheReader) {
    connection.Open(Defaults());

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
    connection.Open(Defaults(0));
    const LineSettings com9At115200Odd{11, 0, 1, 2, 8};
    connection.Open(com9At115200Odd);

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
    connection.Open(Defaults(2));

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [slot 0]",
                                "sleep 100 ms [slot 0]",
                                "open COM3 [slot 0]",
                                "report port unavailable [slot 0]",
                                "resume reader [slot 0]",
                            }));
}

TEST_F(PortConnectionTest, FailedOpenAfterAWorkingOneLeavesNoPortBehind) {
    connection.Open(Defaults(0));
    ports.MakeMissing("COM2");
    connection.Open(Defaults(1));

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
    connection.Open({5, 1, 0, 1, 4});

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
    connection.Open(Defaults());
    ports.RefuseLineSettings(InvalidParameter);
    connection.Open(Defaults());

    EXPECT_EQ(slot.Published(), NoPort);
    const Events events = log.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 1 [slot 0]"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 2 [slot 0]"), 1);
    ExpectNoFaults();
}

class PortPositionOutsideTheList : public PortConnectionTest,
                                   public testing::WithParamInterface<std::int32_t> {};

TEST_P(PortPositionOutsideTheList, OpensNothingAndFailsLikeAMissingPort) {
    connection.Open(Defaults(GetParam()));

    EXPECT_EQ(log.Events(), (Events{
                                "drop untyped bytes [slot 0]",
                                "sleep 100 ms [slot 0]",
                                "report port unavailable [slot 0]",
                                "resume reader [slot 0]",
                            }));
}

INSTANTIATE_TEST_SUITE_P(NoSelectionAndBeyondCom9, PortPositionOutsideTheList,
                         testing::Values(-1, 9, INT_MAX));

TEST_F(PortConnectionTest, ClosePortClosesThePortAndEmptiesTheSlot) {
    connection.Open(Defaults());
    connection.ClosePort();

    EXPECT_EQ(log.Events().back(), "close 1 [slot 0]");
    EXPECT_EQ(slot.Published(), NoPort);
    ExpectNoFaults();
}

TEST_F(PortConnectionTest, ClosePortWithNoPortOpenDoesNothing) {
    connection.ClosePort();
    connection.Open(Defaults());
    connection.ClosePort();
    connection.ClosePort();

    const Events events = log.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "close 1 [slot 0]"), 1);
    EXPECT_EQ(events.front(), "drop untyped bytes [slot 0]");
    ExpectNoFaults();
}

}  // namespace
