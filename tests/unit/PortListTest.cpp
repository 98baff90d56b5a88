// The ports that the settings window offers, and the names that open them.
#include "app/PortList.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "serial/PortNames.h"

namespace {

using Ports = std::vector<std::wstring>;

const Ports Listed = {L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6", L"COM7", L"COM8", L"COM9"};

Ports Above9(const Ports& offered) { return Ports(offered.begin() + 9, offered.end()); }

TEST(OfferedPortsTest, TheListedPortsStayAtTheirPositionsWhateverTheSystemHas) {
    EXPECT_EQ(OfferedPorts(Listed, {}), Listed);
    EXPECT_EQ(OfferedPorts(Listed, {L"COM3", L"COM1"}), Listed);
}

TEST(OfferedPortsTest, PortsAboveCom9FollowInAscendingNumberEachOnce) {
    const Ports offered = OfferedPorts(Listed, {L"COM12", L"COM3", L"COM100", L"COM10", L"COM12", L"com11"});
    EXPECT_EQ(Ports(offered.begin(), offered.begin() + 9), Listed);
    EXPECT_EQ(Above9(offered), (Ports{L"COM10", L"COM11", L"COM12", L"COM100"}));
}

TEST(OfferedPortsTest, NamesThatAreNoComPortAreLeftOut) {
    EXPECT_EQ(Above9(OfferedPorts(Listed, {L"CNCA0", L"COM", L"COM012", L"COM1x", L"", L"COM99999", L"COM15"})),
              Ports{L"COM15"});
}

TEST(PortPositionTest, FindsAPortByNameAndAnswersMinusOneForOneNotOffered) {
    const Ports offered = OfferedPorts(Listed, {L"COM12"});
    EXPECT_EQ(PortPosition(offered, L"COM1"), 0);
    EXPECT_EQ(PortPosition(offered, L"COM12"), 9);
    EXPECT_EQ(PortPosition(offered, L"COM13"), -1);
}

struct NameCase {
    const wchar_t* port;
    std::optional<std::string> device;

    friend void PrintTo(const NameCase& c, std::ostream* os) {
        *os << std::string(c.port, c.port + std::char_traits<wchar_t>::length(c.port));
    }
};

class DeviceNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(DeviceNameTest, Com1ToCom9OpenAsTheyAreAndHigherPortsThroughTheDeviceNamespace) {
    EXPECT_EQ(DeviceNameFor(GetParam().port), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(Names, DeviceNameTest, testing::Values(
    NameCase{L"COM1", "COM1"},
    NameCase{L"COM9", "COM9"},
    NameCase{L"COM10", "\\\\.\\COM10"},
    NameCase{L"COM12", "\\\\.\\COM12"},
    NameCase{L"COM256", "\\\\.\\COM256"},
    NameCase{L"com12", "\\\\.\\COM12"},
    NameCase{L"COM0", std::nullopt},
    NameCase{L"COM", std::nullopt},
    NameCase{L"LPT1", std::nullopt},
    NameCase{L"COM1:", std::nullopt},
    NameCase{L"", std::nullopt}));

}  // namespace
