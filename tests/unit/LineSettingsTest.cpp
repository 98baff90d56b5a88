// List positions to line values: every item of the settings window's lists means what it says.
#include "serial/LineSettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <string>

#include "fakes/EventLog.h"
#include "fakes/FakeSerialPorts.h"
#include "fakes/SettingsWindowLists.h"

namespace {

// Defaults for the positions a case does not look at.
LineSettings Positions(std::int32_t baud, std::int32_t dataBits, std::int32_t parity,
                       std::int32_t stopBits) {
    return LineSettings{baud, dataBits, parity, stopBits, 0};
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The lists' items as the window shows them, position by position.
const SettingsLists Lists = SettingsWindowLists();

TEST(LineValuesAt, BaudPositionsGiveTheListedRates) {
    ASSERT_EQ(Lists.bauds.size(), 12u);
    for (std::size_t position = 0; position < Lists.bauds.size(); ++position) {
        SCOPED_TRACE(Narrow(Lists.bauds[position]));
        const auto index = static_cast<std::int32_t>(position);
        EXPECT_EQ(LineValuesAt(Positions(index, 1, 0, 0)).baudRate, std::stoul(Lists.bauds[position]));
    }
}

TEST(LineValuesAt, DataBitsPositionsGiveTheListedCounts) {
    ASSERT_EQ(Lists.dataBits, (std::vector<std::wstring>{L"7", L"8"}));
    EXPECT_EQ(LineValuesAt(Positions(5, 0, 0, 0)).dataBits, 7);
    EXPECT_EQ(LineValuesAt(Positions(5, 1, 0, 0)).dataBits, 8);
}

TEST(LineValuesAt, ParityPositionsGiveTheParityTheirTextNames) {
    const std::map<std::wstring, Parity> named = {
        {L"NONE", Parity::None}, {L"ODD", Parity::Odd},     {L"EVEN", Parity::Even},
        {L"MARK", Parity::Mark}, {L"SPACE", Parity::Space},
    };
    ASSERT_EQ(Lists.parities.size(), named.size());
    for (std::size_t position = 0; position < Lists.parities.size(); ++position) {
        SCOPED_TRACE(Narrow(Lists.parities[position]));
        EXPECT_EQ(LineValuesAt(Positions(5, 1, static_cast<std::int32_t>(position), 0)).parity,
                  named.at(Lists.parities[position]));
    }
}

TEST(LineValuesAt, StopBitsPositionsGiveTheStopBitsTheirTextNames) {
    const std::map<std::wstring, StopBits> named = {
        {L"1", StopBits::One}, {L"1.5", StopBits::OnePointFive}, {L"2", StopBits::Two}};
    ASSERT_EQ(Lists.stopBits.size(), named.size());
    for (std::size_t position = 0; position < Lists.stopBits.size(); ++position) {
        SCOPED_TRACE(Narrow(Lists.stopBits[position]));
        EXPECT_EQ(LineValuesAt(Positions(5, 1, 0, static_cast<std::int32_t>(position))).stopBits,
                  named.at(Lists.stopBits[position]));
    }
}

TEST(LineValuesAt, DefaultsGive9600Baud8DataBitsNoParityOneStopBit) {
    const LineValues expected{9600, 8, Parity::None, StopBits::One};
    EXPECT_EQ(LineValuesAt(DefaultLineSettings), expected);
}

TEST(LineValuesAt, PositionsOutsideTheListsAskNothingOrPassThroughAsNumbers) {
    struct Case {
        const char* what;
        LineSettings settings;
        LineValues expected;
    };
    const Case cases[] = {
        {"no selection anywhere", Positions(-1, -1, -1, -1), {0xFFFFFFFFu, 0xFF, std::nullopt, std::nullopt}},
        {"one past each list", Positions(12, 2, 5, 3), {12, 2, std::nullopt, std::nullopt}},
        {"far out", Positions(INT_MAX, 263, INT_MIN, INT_MAX), {INT_MAX, 7, std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LineValuesAt(c.settings), c.expected);
    }
}

TEST(ApplyLineSettings, HandsThePortTheValuesOfThePositionsAndReportsItsRefusal) {
    EventLog log;
    FakeSerialPorts ports{&log};
    const PortHandle port = ports.Open("COM1");

    EXPECT_EQ(ApplyLineSettings(ports, port, Positions(11, 0, 1, 2)), NoError);
    ports.RefuseLineSettings(87);
    EXPECT_EQ(ApplyLineSettings(ports, port, Positions(5, 1, -1, -1)), 87u);
    EXPECT_EQ(log.Events(), (std::vector<std::string>{
                                "open COM1",
                                "configure 1: 115200 baud, 7 data bits, parity odd, stop bits 2",
                                "configure 1: 9600 baud, 8 data bits, parity kept, stop bits kept",
                            }));
}

}  // namespace
