#include "app/framework/DialogInitData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const DialogInitRecord& r, std::ostream* os) { *os << "(" << r.controlId << ", \"" << r.text << "\")"; }

namespace {

using Bytes = std::vector<std::uint8_t>;

// One record as it is stored: id, insertion code, length with the zero, text and zero.
Bytes Record(std::uint16_t controlId, const std::string& text) {
    const auto length = static_cast<std::uint32_t>(text.size() + 1);
    Bytes bytes{std::uint8_t(controlId), std::uint8_t(controlId >> 8), 0x34, 0x12,
                std::uint8_t(length),    std::uint8_t(length >> 8),    std::uint8_t(length >> 16),
                std::uint8_t(length >> 24)};
    for (char c : text) bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
    return bytes;
}

const Bytes EndMarker{0, 0};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The data lies in a heap block of exactly its size, so that the address sanitizer
// reports any read beyond it.
auto Parse(const Bytes& data) {
    const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[data.size()]);
    std::copy(data.begin(), data.end(), exact.get());
    return ParseDialogInitData(exact.get(), data.size());
}

TEST(ParseDialogInitData, GivesTheRecordsInStoredOrder) {
    const auto records = Parse(Join({Record(1013, "COM1"), Record(1013, "COM2"), Record(1005, "115200"), EndMarker}));
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, (std::vector<DialogInitRecord>{{1013, "COM1"}, {1013, "COM2"}, {1005, "115200"}}));
}

TEST(ParseDialogInitData, StopsAtTheZeroControlId) {
    const auto records = Parse(Join({Record(1006, "7"), EndMarker, Record(1006, "8"), Bytes{0xFF}}));
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, (std::vector<DialogInitRecord>{{1006, "7"}}));
}

TEST(ParseDialogInitData, TakesTheEndMarkerAloneAsNoRecords) {
    const auto records = Parse(EndMarker);
    ASSERT_TRUE(records);
    EXPECT_TRUE(records->empty());
}

TEST(ParseDialogInitData, KeepsAnEmptyText) {
    const auto records = Parse(Join({Record(1007, ""), EndMarker}));
    ASSERT_TRUE(records);
    EXPECT_EQ(*records, (std::vector<DialogInitRecord>{{1007, ""}}));
}

TEST(ParseDialogInitData, RejectsEveryTruncation) {
    const Bytes whole = Join({Record(1013, "COM1"), Record(1008, "1.5"), EndMarker});
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(Parse(Bytes(whole.begin(), whole.begin() + size))) << "first " << size << " bytes";
}

struct MalformedCase {
    const char* name;
    Bytes data;
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }

class ParseMalformedDialogInitData : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(ParseMalformedDialogInitData, GivesNothing) { EXPECT_FALSE(Parse(GetParam().data)); }

INSTANTIATE_TEST_SUITE_P(
    Records, ParseMalformedDialogInitData,
    ::testing::Values(
        MalformedCase{"LengthWithoutRoomForTheZero", {0xF5, 0x03, 0x34, 0x12, 0, 0, 0, 0, 0, 0}},
        MalformedCase{"TextWithoutItsZero", {0xF5, 0x03, 0x34, 0x12, 2, 0, 0, 0, 'A', 'B', 0, 0}},
        MalformedCase{"ZeroInsideTheText", {0xF5, 0x03, 0x34, 0x12, 3, 0, 0, 0, 'A', 0, 0, 0, 0}},
        MalformedCase{"LengthBeyondTheData", {0xF5, 0x03, 0x34, 0x12, 9, 0, 0, 0, 'A', 0, 0, 0}},
        MalformedCase{"LengthThatWouldWrapAPointer", {0xF5, 0x03, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 'A', 0, 0, 0}},
        MalformedCase{"UnknownInsertionCode", {0xF5, 0x03, 0x03, 0x04, 2, 0, 0, 0, 'A', 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
