// Characters typed as themselves on the receiving layout: keys where the layout has them,
// the character itself where it has none or only behind a dead key or AltGr.
#include "keys/KeyStrokes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "keys/KeyMap.h"
#include "tests/unit/fakes/FakeKeyboardLayout.h"
#include "tests/unit/fakes/RecordingKeySink.h"

namespace {

using Events = std::vector<KeyEvent>;

constexpr std::uint8_t Shift = 0x10;

// Readable events, so that a failure shows what was typed: "10+ 41+ 41- 10-", "U'@'+ U'@'-".
std::string Describe(const Events& events) {
    std::string text;
    for (const KeyEvent& e : events) {
        char one[48];
        const char direction = (e.flags & KeyEventKeyUp) ? '-' : '+';
        if (e.flags & KeyEventUnicode)
            std::snprintf(one, sizeof one, "U'%c'%c ", char(e.scanCode), direction);
        else
            std::snprintf(one, sizeof one, "%02x%c/scan %02x/flags %x ", e.virtualKey, direction, e.scanCode,
                          unsigned(e.flags));
        text += one;
    }
    return text;
}

// The key table's own sequence for a key: the values that receivers must keep seeing.
Events Key(std::uint8_t virtualKey, bool shift = false) {
    RecordingKeySink sink;
    SendKeyStroke(sink, virtualKey, shift ? ModifierShift : ModifierNone);
    return sink.Events();
}

Events Shifted(std::uint8_t virtualKey) { return Key(virtualKey, true); }

Events Unicode(char character) {
    const auto code = static_cast<std::uint8_t>(character);
    return {{0, code, KeyEventUnicode, 0}, {0, code, KeyEventUnicode | KeyEventKeyUp, 0}};
}

Events Typed(FakeKeyboardLayout layout, const std::string& text, bool capsLock = false) {
    layout.SetCapsLock(capsLock);
    RecordingKeySink sink;
    SendBytesAsCharacters(sink, layout, reinterpret_cast<const std::uint8_t*>(text.data()),
                          static_cast<std::uint32_t>(text.size()));
    return sink.Events();
}

Events TypedByKeyTable(const std::string& text) {
    RecordingKeySink sink;
    SendBytesAsKeys(sink, reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
    return sink.Events();
}

std::string AllBytesBelow0x80() {
    std::string bytes;
    for (int byte = 0; byte < 0x80; ++byte) bytes += char(byte);
    return bytes;
}

TEST(SendBytesAsCharacters, OnUsTypesExactlyWhatTheKeyTableTypes) {
    const std::string bytes = AllBytesBelow0x80();
    EXPECT_EQ(Describe(Typed(fake_layouts::Us(), bytes)), Describe(TypedByKeyTable(bytes)));
}

TEST(SendBytesAsCharacters, StrikesTheKeyTableKeyWhereItTypesTheCharacterThoughTheLayoutFindsNoKey) {
    FakeKeyboardLayout us = fake_layouts::Us();
    us.HideFromKeyFor(u"()");
    EXPECT_EQ(Describe(Typed(us, "(x)")), Describe(TypedByKeyTable("(x)")));
}

struct CharacterCase {
    const char* layout;
    FakeKeyboardLayout (*make)();
    bool capsLock;
    char character;
    Events events;
};

void PrintTo(const CharacterCase& c, std::ostream* os) {
    *os << c.layout << (c.capsLock ? " with Caps Lock" : "") << " '" << c.character << "'";
}

class CharacterTest : public testing::TestWithParam<CharacterCase> {};

TEST_P(CharacterTest, IsTypedThus) {
    const CharacterCase& c = GetParam();
    EXPECT_EQ(Describe(Typed(c.make(), std::string(1, c.character), c.capsLock)), Describe(c.events));
}

using namespace fake_layouts;

INSTANTIATE_TEST_SUITE_P(
    Layouts, CharacterTest,
    testing::Values(
        // UK: the keys of @, " and ~ are not where US has them.
        CharacterCase{"Uk", Uk, false, '@', Shifted(0xC0)},
        CharacterCase{"Uk", Uk, false, '"', Shifted('2')},
        CharacterCase{"Uk", Uk, false, '~', Shifted(0xDE)},
        CharacterCase{"Uk", Uk, false, '#', Key(0xDE)},
        CharacterCase{"Uk", Uk, false, '`', Key(0xDF)},
        // German: Y and Z swap places, punctuation moves, and some need AltGr or a dead key.
        CharacterCase{"German", German, false, 'z', Key('Z')},
        CharacterCase{"German", German, false, 'Y', Shifted('Y')},
        CharacterCase{"German", German, false, '!', Shifted('1')},
        CharacterCase{"German", German, false, '&', Shifted('6')},
        CharacterCase{"German", German, false, '?', Shifted(0xDB)},
        CharacterCase{"German", German, false, ';', Shifted(0xBC)},
        CharacterCase{"German", German, false, '@', Unicode('@')},   // AltGr+Q
        CharacterCase{"German", German, false, '~', Unicode('~')},   // AltGr++
        CharacterCase{"German", German, false, '\\', Unicode('\\')}, // AltGr+ß
        CharacterCase{"German", German, false, '^', Unicode('^')},   // dead, alone
        CharacterCase{"German", German, false, '`', Unicode('`')},   // dead, shifted
        // French: the digits are shifted, and Caps Lock shifts the digit row.
        CharacterCase{"French", French, false, '1', Shifted('1')},
        CharacterCase{"French", French, false, '&', Key('1')},
        CharacterCase{"French", French, false, '"', Key('3')},
        CharacterCase{"French", French, false, '!', Key(0xDF)},
        CharacterCase{"French", French, false, 'a', Key('A')},
        CharacterCase{"French", French, false, '@', Unicode('@')},  // AltGr+0
        CharacterCase{"French", French, false, '~', Unicode('~')},  // AltGr+2, dead
        CharacterCase{"French", French, false, '^', Unicode('^')},
        CharacterCase{"French", French, true, '1', Key('1')},       // Caps Lock makes that key a 1
        CharacterCase{"French", French, true, '&', Unicode('&')},
        CharacterCase{"French", French, true, 'a', Shifted('A')},
        // Caps Lock on: letters keep the case that was sent; other keys are left alone.
        CharacterCase{"Us", Us, true, 'A', Key('A')},
        CharacterCase{"Us", Us, true, 'a', Shifted('A')},
        CharacterCase{"Us", Us, true, '!', Shifted('1')},
        CharacterCase{"Us", Us, true, '[', Key(0xDB)},
        CharacterCase{"German", German, true, 'Y', Key('Y')},
        CharacterCase{"German", German, true, 'q', Shifted('Q')}),
    [](const auto& info) {
        const CharacterCase& c = info.param;
        char name[48];
        std::snprintf(name, sizeof name, "%s%s_%02X", c.layout, c.capsLock ? "CapsLock" : "", unsigned(c.character));
        return std::string(name);
    });

FakeKeyboardLayout NoKeysAtAll() { return FakeKeyboardLayout({}); }

TEST(SendBytesAsCharacters, TypesWhatTheLayoutLacksAsTheCharacterItself) {
    Events expected;
    for (char c : {'a', '1', ' '})
        for (const KeyEvent& e : Unicode(c)) expected.push_back(e);
    EXPECT_EQ(Describe(Typed(NoKeysAtAll(), "a1 ")), Describe(expected));
}

// What a window on `layout` makes of the events: the characters, with '?' for a key that
// types nothing at once (a dead key waits to combine with the next one).
std::u16string Received(FakeKeyboardLayout& layout, const Events& events) {
    std::u16string text;
    bool shift = false;
    for (const KeyEvent& e : events) {
        const bool press = !(e.flags & KeyEventKeyUp);
        if (e.flags & KeyEventUnicode) {
            if (press) text += char16_t(e.scanCode);
        } else if (e.virtualKey == Shift) {
            shift = press;
        } else if (press) {
            text += layout.CharacterOf({e.virtualKey, shift ? LayoutShift : std::uint8_t(0)}).value_or(u'?');
        }
    }
    return text;
}

TEST(SendBytesAsCharacters, EveryPrintableCharacterArrivesExactlyOnEveryLayout) {
    std::string printable;
    for (int byte = 0x20; byte <= 0x7E; ++byte) printable += char(byte);
    const std::u16string expected(printable.begin(), printable.end());
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        for (bool capsLock : {false, true}) {
            FakeKeyboardLayout layout = make();
            layout.SetCapsLock(capsLock);
            RecordingKeySink sink;
            SendBytesAsCharacters(sink, layout, reinterpret_cast<const std::uint8_t*>(printable.data()),
                                  static_cast<std::uint32_t>(printable.size()));
            EXPECT_TRUE(Received(layout, sink.Events()) == expected) << "Caps Lock " << capsLock;
        }
    }
}

// Control characters are keys, not characters: on every layout they strike the table's keys,
// and bytes above 0x7F type nothing.
TEST(SendBytesAsCharacters, StrikesTheKeyTableForControlCharactersOnEveryLayout) {
    std::string controls;
    for (int byte = 0; byte < 0x20; ++byte) controls += char(byte);
    controls += '\x7F';
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        EXPECT_EQ(Describe(Typed(make(), controls)), Describe(TypedByKeyTable(controls)));
        EXPECT_EQ(Describe(Typed(make(), controls, true)), Describe(TypedByKeyTable(controls)));
        EXPECT_TRUE(Typed(make(), "\x80\xC4\xFF").empty());
    }
}

// Whatever the layout and Caps Lock, every key that goes down comes up again, and a printable
// character never holds Ctrl or Alt: no AltGr can stay down.
TEST(SendBytesAsCharacters, HoldsOnlyShiftAndLeavesNoKeyDown) {
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        for (bool capsLock : {false, true}) {
            for (int byte = 0x20; byte <= 0x7E; ++byte) {
                const Events events = Typed(make(), std::string(1, char(byte)), capsLock);
                int down[256] = {};
                for (const KeyEvent& e : events) {
                    EXPECT_NE(e.virtualKey, 0x11) << "byte " << byte;
                    EXPECT_NE(e.virtualKey, 0x12) << "byte " << byte;
                    down[e.virtualKey] += (e.flags & KeyEventKeyUp) ? -1 : 1;
                }
                for (int count : down) EXPECT_EQ(count, 0) << "byte " << byte;
                EXPECT_TRUE(events.size() == 2 || (events.size() == 4 && events.front().virtualKey == Shift))
                    << "byte " << byte << ": " << Describe(events);
            }
        }
    }
}

}  // namespace
