// The key table's key-event sequences, exactly as receivers have always seen them.
#include "keys/KeyStrokes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/unit/fakes/RecordingKeySink.h"

void PrintTo(const KeyEvent& e, std::ostream* os) {
    *os << std::hex << "(vk 0x" << int(e.virtualKey) << ", scan 0x" << int(e.scanCode)
        << ", flags 0x" << e.flags << ", extra " << e.extraInfo << ")";
}

namespace {

constexpr KeyEvent ShiftDown{0x10, 0x45, 0x1, 0};
constexpr KeyEvent ShiftUp{0x10, 0x45, 0x3, 0};
constexpr KeyEvent CtrlDown{0x11, 0x45, 0x1, 0};
constexpr KeyEvent CtrlUp{0x11, 0x45, 0x3, 0};
constexpr KeyEvent Down(std::uint8_t vk) { return {vk, 0x00, 0x1, 0}; }
constexpr KeyEvent Up(std::uint8_t vk) { return {vk, 0x00, 0x3, 0}; }

struct BytesCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::vector<KeyEvent> events;
};

void PrintTo(const BytesCase& c, std::ostream* os) { *os << c.name; }

class SendBytesAsKeysTest : public ::testing::TestWithParam<BytesCase> {};

TEST_P(SendBytesAsKeysTest, EmitsExactlyTheseEvents) {
    RecordingKeySink sink;
    const auto& bytes = GetParam().bytes;
    SendBytesAsKeys(sink, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    EXPECT_EQ(sink.Events(), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SendBytesAsKeysTest,
    ::testing::Values(
        BytesCase{"Nothing", {}, {}},
        BytesCase{"SmallA", {0x61}, {Down(0x41), Up(0x41)}},
        BytesCase{"CapitalA", {0x41}, {ShiftDown, Down(0x41), Up(0x41), ShiftUp}},
        BytesCase{"TwoCapitalsPressShiftTwice",
                  {0x41, 0x42},
                  {ShiftDown, Down(0x41), Up(0x41), ShiftUp, ShiftDown, Down(0x42), Up(0x42), ShiftUp}},
        BytesCase{"NulReleasesShiftBeforeCtrl",
                  {0x00},
                  {ShiftDown, CtrlDown, Down(0x32), Up(0x32), ShiftUp, CtrlUp}},
        BytesCase{"CarriageReturnThenLineFeed",
                  {0x0D, 0x0A},
                  {Down(0x0D), Up(0x0D), CtrlDown, Down(0x0D), Up(0x0D), CtrlUp}},
        BytesCase{"EndOfTextIsCancelWithoutCtrl", {0x03}, {Down(0x03), Up(0x03)}},
        BytesCase{"DeleteIsCtrlBackspace", {0x7F}, {CtrlDown, Down(0x08), Up(0x08), CtrlUp}},
        BytesCase{"HighBytesTypeNothing", {0x80, 0xC4, 0xFF}, {}},
        BytesCase{"HighBytesAmongTextAreSkipped",
                  {0x61, 0xE9, 0x62},
                  {Down(0x41), Up(0x41), Down(0x42), Up(0x42)}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StrokeCase {
    std::uint8_t modifier;
    std::vector<KeyEvent> events;
};

TEST(SendKeyStroke, ComparesTheModifierCodeForEquality) {
    const StrokeCase cases[] = {
        {0, {Down(0x5A), Up(0x5A)}},
        {1, {ShiftDown, Down(0x5A), Up(0x5A), ShiftUp}},
        {2, {CtrlDown, Down(0x5A), Up(0x5A), CtrlUp}},
        {3, {ShiftDown, CtrlDown, Down(0x5A), Up(0x5A), ShiftUp, CtrlUp}},
        {4, {Down(0x5A), Up(0x5A)}},
        {7, {Down(0x5A), Up(0x5A)}},
        {0xFF, {Down(0x5A), Up(0x5A)}},
    };
    for (const auto& c : cases) {
        RecordingKeySink sink;
        SendKeyStroke(sink, 0x5A, c.modifier);
        EXPECT_EQ(sink.Events(), c.events) << "modifier " << int(c.modifier);
    }
}

TEST(SendBytesAsKeys, SendsEachStrokeByItself) {
    RecordingKeySink sink;
    const std::uint8_t bytes[] = {'a', 0xE9, 'B'};
    SendBytesAsKeys(sink, bytes, 3);
    EXPECT_EQ(sink.Sends(), (std::vector<KeyEvents>{{Down(0x41), Up(0x41)}, {ShiftDown, Down(0x42), Up(0x42), ShiftUp}}));
}

TEST(AppendKeyTableStrokes, AppendsForAsciiTheStrokesThatSendBytesAsKeysSends) {
    std::vector<std::uint8_t> bytes;
    std::u32string characters;
    for (int byte = 0; byte < 0x80; ++byte) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
        characters.push_back(static_cast<char32_t>(byte));
    }
    RecordingKeySink sink;
    SendBytesAsKeys(sink, bytes.data(), 0x80);
    KeyEvents appended{Down(0x5A)};
    AppendKeyTableStrokes(appended, characters.data(), characters.size());
    appended.erase(appended.begin());
    EXPECT_EQ(appended, sink.Events());
}

// With a character set beyond ASCII, what the key table has no key for goes as the character itself.
TEST(AppendKeyTableStrokes, TypesCharactersBeyondAsciiAsThemselvesAndC1ControlsNot) {
    const std::u32string characters = U"\u00E9\u0085\U0001F600";
    KeyEvents events;
    AppendKeyTableStrokes(events, characters.data(), characters.size());
    EXPECT_EQ(events, (KeyEvents{{0, 0xE9, KeyEventUnicode, 0}, {0, 0xE9, KeyEventUnicode | KeyEventKeyUp, 0},
                                 {0, 0xD83D, KeyEventUnicode, 0}, {0, 0xD83D, KeyEventUnicode | KeyEventKeyUp, 0},
                                 {0, 0xDE00, KeyEventUnicode, 0}, {0, 0xDE00, KeyEventUnicode | KeyEventKeyUp, 0}}));
}

// Whatever the byte, every key and modifier that goes down comes up again.
TEST(SendBytesAsKeys, LeavesNoKeyDownAfterAnyByte) {
    for (int byte = 0; byte < 256; ++byte) {
        RecordingKeySink sink;
        const std::uint8_t one = static_cast<std::uint8_t>(byte);
        SendBytesAsKeys(sink, &one, 1);
        int down[256] = {};
        for (const KeyEvent& e : sink.Events()) down[e.virtualKey] += (e.flags & KeyEventKeyUp) ? -1 : 1;
        for (int vk = 0; vk < 256; ++vk) EXPECT_EQ(down[vk], 0) << "byte " << byte << " vk " << vk;
    }
}

constexpr KeyEvent UnicodeDown{0, 0xE9, KeyEventUnicode, 0};
constexpr KeyEvent UnicodeUp{0, 0xE9, KeyEventUnicode | KeyEventKeyUp, 0};

struct PartCase {
    const char* what;
    KeyEvents events;
    std::size_t sent;
    KeyEvents releases;
};

TEST(ReleasesOfKeysLeftDown, ReleasesWhatThePartTakenLeftDownLastPressedFirst) {
    const KeyEvents nul{ShiftDown, CtrlDown, Down(0x32), Up(0x32), ShiftUp, CtrlUp};
    const PartCase cases[] = {
        {"all taken", nul, 6, {}},
        {"none taken", nul, 0, {}},
        {"modifiers only", nul, 2, {CtrlUp, ShiftUp}},
        {"key down inside them", nul, 3, {Up(0x32), CtrlUp, ShiftUp}},
        {"Shift already up", nul, 5, {CtrlUp}},
        {"a second stroke begun", {Down(0x41), Up(0x41), ShiftDown, Down(0x42)}, 4, {Up(0x42), ShiftUp}},
        {"a character down", {UnicodeDown, UnicodeUp, UnicodeDown}, 3, {UnicodeUp}},
        {"more taken than there are", {Down(0x41)}, 5, {Up(0x41)}},
    };
    for (const PartCase& c : cases) EXPECT_EQ(ReleasesOfKeysLeftDown(c.events, c.sent), c.releases) << c.what;
}

}  // namespace
