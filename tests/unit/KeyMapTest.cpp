#include "keys/KeyMap.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Row {
    int virtualKey;
    int modifier;
};

// The rows that follow no rule, transcribed independently of the table itself.
const std::map<int, Row> IrregularRows = {
    {0x00, {0x32, 3}}, {0x03, {0x03, 0}}, {0x08, {0x08, 0}}, {0x09, {0x09, 0}},
    {0x0A, {0x0D, 2}}, {0x0D, {0x0D, 0}}, {0x1B, {0x1B, 0}}, {0x1C, {0xDC, 2}},
    {0x1D, {0xDD, 2}}, {0x1E, {0x36, 3}}, {0x1F, {0xBD, 3}}, {0x20, {0x20, 0}},
    {0x21, {0x31, 1}}, {0x22, {0xDE, 1}}, {0x23, {0x33, 1}}, {0x24, {0x34, 1}},
    {0x25, {0x35, 1}}, {0x26, {0x37, 1}}, {0x27, {0xDE, 0}}, {0x28, {0x39, 1}},
    {0x29, {0x30, 1}}, {0x2A, {0x38, 1}}, {0x2B, {0xBB, 1}}, {0x2C, {0xBC, 0}},
    {0x2D, {0xBD, 0}}, {0x2E, {0xBE, 0}}, {0x2F, {0xBF, 0}}, {0x3A, {0xBA, 1}},
    {0x3B, {0xBA, 0}}, {0x3C, {0xBC, 1}}, {0x3D, {0xBB, 0}}, {0x3E, {0xBE, 1}},
    {0x3F, {0xBF, 1}}, {0x40, {0x32, 1}}, {0x5B, {0xDB, 0}}, {0x5C, {0xDC, 0}},
    {0x5D, {0xDD, 0}}, {0x5E, {0x36, 1}}, {0x5F, {0xBD, 1}}, {0x60, {0xC0, 0}},
    {0x7B, {0xDB, 1}}, {0x7C, {0xDC, 1}}, {0x7D, {0xDD, 1}}, {0x7E, {0xC0, 1}},
    {0x7F, {0x08, 2}},
};

Row ExpectedRow(int byte) {
    if (auto listed = IrregularRows.find(byte); listed != IrregularRows.end()) return listed->second;
    if (byte >= 0x01 && byte <= 0x1A) return {byte + 0x40, 2};
    if (byte >= 0x30 && byte <= 0x39) return {byte, 0};
    if (byte >= 0x41 && byte <= 0x5A) return {byte, 1};
    if (byte >= 0x61 && byte <= 0x7A) return {byte - 0x20, 0};
    ADD_FAILURE() << "no rule covers byte " << byte;
    return {0, 0};
}

TEST(KeyMap, EveryRowMatchesItsRuleOrListing) {
    EXPECT_EQ(IrregularRows.size(), 45u);
    for (int byte = 0; byte < KeyMapRows; ++byte) {
        const Row expected = ExpectedRow(byte);
        SCOPED_TRACE(::testing::Message() << "byte 0x" << std::hex << byte);
        EXPECT_EQ(KeyMap.virtualKey[byte], expected.virtualKey);
        EXPECT_EQ(KeyMap.modifier[byte], expected.modifier);
    }
}

TEST(KeyMap, RowsPerModifierCode) {
    int count[256] = {};
    for (int byte = 0; byte < KeyMapRows; ++byte) ++count[KeyMap.modifier[byte]];
    EXPECT_EQ(count[ModifierNone], 53);
    EXPECT_EQ(count[ModifierShift], 47);
    EXPECT_EQ(count[ModifierCtrl], 25);
    EXPECT_EQ(count[ModifierShiftCtrl], 3);
}

TEST(KeyMap, NoRowStrikesKeyZeroOrCarriesAnUnknownModifier) {
    for (int byte = 0; byte < KeyMapRows; ++byte) {
        EXPECT_NE(KeyMap.virtualKey[byte], 0) << "byte " << byte;
        EXPECT_LE(KeyMap.modifier[byte], 3) << "byte " << byte;
    }
}

struct SharedKeyCase {
    int first, second;
};

// Characters that share a key differ only in the modifier.
TEST(KeyMap, CharactersOnTheSameKeyDifferOnlyInModifier) {
    const SharedKeyCase cases[] = {{'a', 'A'}, {'z', 'Z'}, {'\'', '"'}, {';', ':'},
                                   {'=', '+'}, {'2', '@'}, {'@', 0x00}, {0x0D, 0x0A},
                                   {0x08, 0x7F}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.first << " / " << c.second);
        EXPECT_EQ(KeyMap.virtualKey[c.first], KeyMap.virtualKey[c.second]);
        EXPECT_NE(KeyMap.modifier[c.first], KeyMap.modifier[c.second]);
    }
}

TEST(KeyMap, NoRowStrikesCtrlC) {
    for (int byte = 0; byte < KeyMapRows; ++byte)
        EXPECT_FALSE(KeyMap.virtualKey[byte] == 'C' && KeyMap.modifier[byte] >= ModifierCtrl)
            << "byte " << byte;
}

}  // namespace
