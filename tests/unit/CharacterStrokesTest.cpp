// Characters typed as themselves on the receiving layout: keys where the layout has them,
// the character itself where it has none or only behind a dead key or AltGr; every key with the
// scan code that the layout gives it.
#include "keys/KeyStrokes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "keys/CharacterDecoder.h"
#include "keys/KeyMap.h"
#include "tests/unit/fakes/AsciiCharacters.h"
#include "tests/unit/fakes/FakeKeyboardLayout.h"
#include "tests/unit/fakes/RecordingKeySink.h"

namespace {

using Events = std::vector<KeyEvent>;

constexpr std::uint8_t Shift = 0x10;
constexpr std::uint8_t Ctrl = 0x11;

// The keys struck and the characters sent, so that a failure shows what was typed:
// "10+ 41+ 41- 10-", "U+0040+ U+0040-". Scan codes are checked on their own.
std::string Describe(const Events& events) {
    std::string text;
    for (const KeyEvent& e : events) {
        char one[24];
        const char direction = (e.flags & KeyEventKeyUp) ? '-' : '+';
        if (e.flags & KeyEventUnicode)
            std::snprintf(one, sizeof one, "U+%04X%c ", unsigned(e.scanCode), direction);
        else
            std::snprintf(one, sizeof one, "%02x%c ", e.virtualKey, direction);
        text += one;
    }
    return text;
}

// The key table's sequence for a key: the keys and modifiers that receivers must keep seeing.
Events Key(std::uint8_t virtualKey, bool shift = false) {
    Events events;
    AppendKeyStroke(events, virtualKey, shift ? ModifierShift : ModifierNone);
    return events;
}

Events Shifted(std::uint8_t virtualKey) { return Key(virtualKey, true); }

Events Unicode(char16_t unit) {
    return {{0, unit, KeyEventUnicode, 0}, {0, unit, KeyEventUnicode | KeyEventKeyUp, 0}};
}

Events Typed(FakeKeyboardLayout layout, const std::u32string& text, bool capsLock = false) {
    layout.SetCapsLock(capsLock);
    Events events;
    AppendCharacterStrokes(events, layout, text.data(), text.size());
    return events;
}

Events Typed(FakeKeyboardLayout layout, const std::string& text, bool capsLock = false) {
    return Typed(std::move(layout), AsciiCharacters(text), capsLock);
}

Events TypedByKeyTable(const std::string& text) {
    Events events;
    const std::u32string characters = AsciiCharacters(text);
    AppendKeyTableStrokes(events, characters.data(), characters.size());
    return events;
}

std::string AllBytesBelow0x80() {
    std::string bytes;
    for (int byte = 0; byte < 0x80; ++byte) bytes += char(byte);
    return bytes;
}

TEST(AppendCharacterStrokes, OnUsStrikesTheKeyTablesKeysInItsOrder) {
    const std::string bytes = AllBytesBelow0x80();
    EXPECT_EQ(Describe(Typed(fake_layouts::Us(), bytes)), Describe(TypedByKeyTable(bytes)));
}

TEST(AppendCharacterStrokes, StrikesTheKeyTableKeyWhereItTypesTheCharacterThoughTheLayoutFindsNoKey) {
    FakeKeyboardLayout us = fake_layouts::Us();
    us.HideFromKeyFor(u"()");
    EXPECT_EQ(Describe(Typed(us, "(x)")), Describe(TypedByKeyTable("(x)")));
}

struct CharacterCase {
    const char* layout;
    FakeKeyboardLayout (*make)();
    bool capsLock;
    char32_t character;
    Events events;
};

void PrintTo(const CharacterCase& c, std::ostream* os) {
    char character[16];
    std::snprintf(character, sizeof character, "U+%04X", unsigned(c.character));
    *os << c.layout << (c.capsLock ? " with Caps Lock" : "") << " " << character;
}

class CharacterTest : public testing::TestWithParam<CharacterCase> {};

TEST_P(CharacterTest, IsTypedThus) {
    const CharacterCase& c = GetParam();
    EXPECT_EQ(Describe(Typed(c.make(), std::u32string(1, c.character), c.capsLock)), Describe(c.events));
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
        CharacterCase{"German", German, true, 'q', Shifted('Q')},
        // Above 0x7F: the layout's key where one key with Shift at most makes it, else the character.
        CharacterCase{"German", German, false, U'\u00E4', Key(0xDE)},
        CharacterCase{"German", German, false, U'\u00C4', Shifted(0xDE)},
        CharacterCase{"German", German, true, U'\u00C4', Key(0xDE)},
        CharacterCase{"German", German, false, U'\u00DF', Key(0xDB)},
        CharacterCase{"German", German, false, U'\u00B0', Shifted(0xDC)},           // beside a dead key
        CharacterCase{"German", German, false, U'\u20AC', Unicode(u'\u20AC')},     // AltGr+E
        CharacterCase{"German", German, false, U'\u00B4', Unicode(u'\u00B4')},     // dead
        CharacterCase{"German", German, false, U'\uFFFD', Unicode(u'\uFFFD')},     // a malformed sequence
        CharacterCase{"French", French, false, U'\u00E9', Key('2')},
        CharacterCase{"French", French, false, U'\u00E7', Key('9')},
        CharacterCase{"French", French, false, U'\u00A3', Shifted(0xBA)},
        CharacterCase{"French", French, false, U'\u00B5', Shifted(0xDC)},
        CharacterCase{"Us", Us, false, U'\u00E9', Unicode(u'\u00E9')},
        CharacterCase{"Us", Us, false, U'\u00A0', Unicode(u'\u00A0')},
        CharacterCase{"Us", Us, false, U'\u0085', {}},                              // C1: nothing
        // Beyond U+FFFF, as its two UTF-16 units.
        CharacterCase{"Us", Us, false, U'\U0001F600', [] {
                          Events pair = Unicode(u'\xD83D');
                          for (const KeyEvent& e : Unicode(u'\xDE00')) pair.push_back(e);
                          return pair;
                      }()}),
    [](const auto& info) {
        const CharacterCase& c = info.param;
        char name[48];
        std::snprintf(name, sizeof name, "%s%s_%02X", c.layout, c.capsLock ? "CapsLock" : "", unsigned(c.character));
        return std::string(name);
    });

FakeKeyboardLayout NoKeysAtAll() { return FakeKeyboardLayout({}); }

TEST(AppendCharacterStrokes, TypesWhatTheLayoutLacksAsTheCharacterItself) {
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

TEST(AppendCharacterStrokes, EveryPrintableCharacterArrivesExactlyOnEveryLayout) {
    std::string printable;
    for (int byte = 0x20; byte <= 0x7E; ++byte) printable += char(byte);
    const std::u16string expected(printable.begin(), printable.end());
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        for (bool capsLock : {false, true}) {
            FakeKeyboardLayout layout = make();
            layout.SetCapsLock(capsLock);
            const Events events = Typed(make(), printable, capsLock);
            EXPECT_TRUE(Received(layout, events) == expected) << "Caps Lock " << capsLock;
        }
    }
}

// Whatever the layout and Caps Lock, a text in many languages arrives as it was sent.
TEST(AppendCharacterStrokes, ATextInManyLanguagesArrivesExactlyOnEveryLayout) {
    const std::u32string text = U"Gr\u00FC\u00DFe, caf\u00E9, na\u00EFve \u2013 25 \u00B0C, 5 \u00B5m \u00B1 0.1, "
                                U"\u03A9mega \U0001F600";
    const std::u16string expected = u"Gr\u00FC\u00DFe, caf\u00E9, na\u00EFve \u2013 25 \u00B0C, 5 \u00B5m \u00B1 0.1, "
                                    u"\u03A9mega \U0001F600";
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        for (bool capsLock : {false, true}) {
            FakeKeyboardLayout layout = make();
            layout.SetCapsLock(capsLock);
            EXPECT_TRUE(Received(layout, Typed(make(), text, capsLock)) == expected) << "Caps Lock " << capsLock;
        }
    }
}

// Control characters are keys, not characters: on every layout they strike the table's keys,
// and bytes above 0x7F type nothing.
TEST(AppendCharacterStrokes, StrikesTheKeyTableForControlCharactersOnEveryLayout) {
    std::string controls;
    for (int byte = 0; byte < 0x20; ++byte) controls += char(byte);
    controls += '\x7F';
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        EXPECT_EQ(Describe(Typed(make(), controls)), Describe(TypedByKeyTable(controls)));
        EXPECT_EQ(Describe(Typed(make(), controls, true)), Describe(TypedByKeyTable(controls)));
        EXPECT_TRUE(Typed(make(), U"\u0080\u0085\u009F").empty()) << "C1 controls type nothing";
    }
}

// Whatever the layout and Caps Lock, every key that goes down comes up again, and a printable
// character never holds Ctrl or Alt: no AltGr can stay down.
TEST(AppendCharacterStrokes, HoldsOnlyShiftAndLeavesNoKeyDown) {
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        for (bool capsLock : {false, true}) {
            for (int byte = 0x20; byte <= 0x7E; ++byte) {
                const Events events = Typed(make(), std::string(1, char(byte)), capsLock);
                int down[256] = {};
                for (const KeyEvent& e : events) {
                    EXPECT_NE(e.virtualKey, Ctrl) << "byte " << byte;
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

// What a remote desktop client reads: every key event with the scan code that the layout gives
// its key, Shift and Ctrl those of the left-hand keys, and the extended flag only on keys whose
// scan code has the E0 prefix.
TEST(AppendCharacterStrokes, EveryKeyCarriesTheScanCodeThatTheLayoutGivesIt) {
    for (auto make : {Us, Uk, German, French, NoKeysAtAll}) {
        FakeKeyboardLayout layout = make();
        for (int byte = 0; byte < 0x80; ++byte) {
            const Events events = Typed(make(), std::string(1, char(byte)));
            for (const KeyEvent& e : events) {
                if (e.flags & KeyEventUnicode) continue;
                const std::uint16_t scanCode = e.virtualKey == Shift  ? 0x2A
                                               : e.virtualKey == Ctrl ? 0x1D
                                                                      : layout.ScanCodeOf(e.virtualKey);
                EXPECT_EQ(e.scanCode, scanCode & 0xFF) << "byte " << byte << ", key " << int(e.virtualKey);
                EXPECT_EQ((e.flags & KeyEventExtendedKey) != 0, (scanCode & 0xFF00) == ExtendedScanCode)
                    << "byte " << byte << ", key " << int(e.virtualKey);
                EXPECT_EQ(e.extraInfo, 0u);
            }
        }
    }
}

struct ScanCase {
    const char* what;
    FakeKeyboardLayout (*make)();
    char byte;
    Events events;
};

TEST(AppendCharacterStrokes, StrikesKeysWithTheirScanCodes) {
    const ScanCase cases[] = {
        {"small z on US", Us, 'z', {{'Z', 0x2C, 0, 0}, {'Z', 0x2C, KeyEventKeyUp, 0}}},
        {"small z on German, where Z sits above", German, 'z', {{'Z', 0x15, 0, 0}, {'Z', 0x15, KeyEventKeyUp, 0}}},
        {"capital A with the left Shift", Us, 'A',
         {{Shift, 0x2A, 0, 0}, {'A', 0x1E, 0, 0}, {'A', 0x1E, KeyEventKeyUp, 0}, {Shift, 0x2A, KeyEventKeyUp, 0}}},
        {"CR on the main Enter, not the keypad's", Us, '\r',
         {{0x0D, 0x1C, 0, 0}, {0x0D, 0x1C, KeyEventKeyUp, 0}}},
        {"LF with the left Ctrl", German, '\n',
         {{Ctrl, 0x1D, 0, 0}, {0x0D, 0x1C, 0, 0}, {0x0D, 0x1C, KeyEventKeyUp, 0}, {Ctrl, 0x1D, KeyEventKeyUp, 0}}},
        {"ETX on Break, an extended key", Us, '\x03',
         {{0x03, 0x46, KeyEventExtendedKey, 0}, {0x03, 0x46, KeyEventExtendedKey | KeyEventKeyUp, 0}}},
    };
    for (const ScanCase& c : cases) EXPECT_EQ(Typed(c.make(), std::string(1, c.byte)), c.events) << c.what;
}

}  // namespace
