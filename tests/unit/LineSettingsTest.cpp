// List positions to line parameters, and the read-change-write of the port's configuration.
#include "serial/LineSettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace {

// Defaults for the positions a case does not look at.
LineSettings Positions(std::int32_t baud, std::int32_t dataBits, std::int32_t parity,
                       std::int32_t stopBits) {
    return LineSettings{baud, dataBits, parity, stopBits, 0};
}

TEST(LineParametersFor, BaudPositionsGiveTheListedRates) {
    const std::vector<std::uint32_t> listed = {300,   600,   1200,  2400,  4800,  9600,
                                               14400, 19200, 38400, 56000, 57600, 115200};
    for (std::int32_t position = 0; position < static_cast<std::int32_t>(listed.size()); ++position) {
        SCOPED_TRACE("baud position " + std::to_string(position));
        EXPECT_EQ(LineParametersFor(Positions(position, 1, 0, 0)).baudRate, listed[position]);
    }
}

TEST(LineParametersFor, DataBitsPositionsGiveSevenAndEight) {
    EXPECT_EQ(LineParametersFor(Positions(5, 0, 0, 0)).byteSize, 7);
    EXPECT_EQ(LineParametersFor(Positions(5, 1, 0, 0)).byteSize, 8);
}

TEST(LineParametersFor, ParityPositionsGiveTheParityTheirTextNames) {
    struct Case {
        std::int32_t position;
        const char* text;
        std::uint8_t code;
    };
    const Case cases[] = {
        {0, "NONE", NoParity},  {1, "ODD", OddParity},     {2, "EVEN", EvenParity},
        {3, "MARK", MarkParity}, {4, "SPACE", SpaceParity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LineParametersFor(Positions(5, 1, c.position, 0)).parity, c.code);
    }
    EXPECT_EQ(OddParity, 1);
    EXPECT_EQ(EvenParity, 2);
    EXPECT_EQ(MarkParity, 3);
    EXPECT_EQ(SpaceParity, 4);
}

TEST(LineParametersFor, StopBitsPositionsGiveTheirCodes) {
    EXPECT_EQ(LineParametersFor(Positions(5, 1, 0, 0)).stopBits, OneStopBit);
    EXPECT_EQ(LineParametersFor(Positions(5, 1, 0, 1)).stopBits, OnePointFiveStopBits);
    EXPECT_EQ(LineParametersFor(Positions(5, 1, 0, 2)).stopBits, TwoStopBits);
    EXPECT_EQ(OnePointFiveStopBits, 1);
    EXPECT_EQ(TwoStopBits, 2);
}

TEST(LineParametersFor, DefaultsGive9600Baud8DataBitsNoParityOneStopBit) {
    const LineParameters expected{9600, 8, NoParity, OneStopBit};
    EXPECT_EQ(LineParametersFor(Positions(5, 1, 0, 0)), expected);
}

TEST(LineParametersFor, PositionsOutsideTheListsAskNothingOrPassThroughAsNumbers) {
    struct Case {
        const char* what;
        LineSettings settings;
        LineParameters expected;
    };
    const Case cases[] = {
        {"no selection anywhere", Positions(-1, -1, -1, -1), {0xFFFFFFFFu, 0xFF, std::nullopt, std::nullopt}},
        {"one past each list", Positions(12, 2, 5, 3), {12, 2, std::nullopt, std::nullopt}},
        {"far out", Positions(INT_MAX, 263, INT_MIN, INT_MAX), {INT_MAX, 7, std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LineParametersFor(c.settings), c.expected);
    }
}

// Records what ApplyLineSettings does with the port's configuration.
class RecordingLineConfiguration final : public LineConfiguration {
public:
    RecordingLineConfiguration(bool readable, bool writable) : readable_(readable), writable_(writable) {}

    bool Read() override {
        calls.push_back("read");
        return readable_;
    }
    void Change(const LineParameters& parameters) override {
        calls.push_back("change");
        changed = parameters;
    }
    bool Write() override {
        calls.push_back("write");
        return writable_;
    }

    std::vector<std::string> calls;
    std::optional<LineParameters> changed;

private:
    bool readable_;
    bool writable_;
};

TEST(ApplyLineSettings, ReadsTheWholeConfigurationChangesTheChosenParametersAndWritesItBack) {
    RecordingLineConfiguration configuration(true, true);

    EXPECT_TRUE(ApplyLineSettings(configuration, Positions(11, 0, 1, 2)));
    EXPECT_EQ(configuration.calls, (std::vector<std::string>{"read", "change", "write"}));
    EXPECT_EQ(configuration.changed, (LineParameters{115200, 7, OddParity, TwoStopBits}));
}

TEST(ApplyLineSettings, LeavesAPortWhoseConfigurationCannotBeReadUntouched) {
    RecordingLineConfiguration configuration(false, true);

    EXPECT_TRUE(ApplyLineSettings(configuration, Positions(5, 1, 0, 0)));
    EXPECT_EQ(configuration.calls, (std::vector<std::string>{"read"}));
}

TEST(ApplyLineSettings, ReportsAPortThatRefusesTheChangedConfiguration) {
    RecordingLineConfiguration configuration(true, false);

    EXPECT_FALSE(ApplyLineSettings(configuration, Positions(5, 1, 0, 1)));
    EXPECT_EQ(configuration.calls, (std::vector<std::string>{"read", "change", "write"}));
}

}  // namespace
