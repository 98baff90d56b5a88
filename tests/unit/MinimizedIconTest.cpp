#include "app/MinimizedIcon.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct OriginCase {
    const char* name;
    int clientWidth, clientHeight, iconWidth, iconHeight;
    IconOrigin expected;
};

void PrintTo(const OriginCase& c, std::ostream* os) { *os << c.name; }

class CenteredIconOriginTest : public ::testing::TestWithParam<OriginCase> {};

TEST_P(CenteredIconOriginTest, CentresTheIconRoundingHalvesUp) {
    const OriginCase& c = GetParam();
    const IconOrigin origin = CenteredIconOrigin(c.clientWidth, c.clientHeight, c.iconWidth, c.iconHeight);
    EXPECT_EQ(origin.x, c.expected.x);
    EXPECT_EQ(origin.y, c.expected.y);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CenteredIconOriginTest,
    ::testing::Values(
        OriginCase{"SquareClient", 160, 160, 32, 32, {64, 64}},
        OriginCase{"OddSpareRoundsUp", 161, 35, 32, 32, {65, 2}},
        OriginCase{"AxesAreIndependent", 100, 40, 32, 16, {34, 12}},
        OriginCase{"ExactFit", 32, 32, 32, 32, {0, 0}},
        // -1 / 2 is 0 and -11 / 2 is -5: truncation toward zero, not floor.
        OriginCase{"TwoPixelsTooNarrow", 30, 160, 32, 32, {0, 64}},
        OriginCase{"ThreePixelsTooSmall", 29, 29, 32, 32, {-1, -1}},
        OriginCase{"MuchTooSmall", 20, 0, 32, 32, {-5, -15}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
