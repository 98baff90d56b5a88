// Keyboard layouts as Windows describes them (US, UK, German, French), with a Caps Lock
// that can be switched on, standing in for the receiving window's layout.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "keys/KeyboardLayout.h"

// What Caps Lock does to a key.
enum class CapsLock : std::uint8_t {
    Ignores,   // punctuation, and the digits of most layouts
    Inverts,   // letters: Shift gives the small one
    Shifts,    // the French digit row: the shifted character with or without Shift
};

// One key: what it types alone, with Shift and with AltGr (0 for nothing), and which of
// those three are dead keys.
struct FakeKey {
    std::uint8_t virtualKey;
    char16_t plain, shifted, altGr;
    CapsLock caps = CapsLock::Ignores;
    bool deadPlain = false, deadShifted = false, deadAltGr = false;
};

// The scan codes of a US keyboard's keys, by virtual key; 0 for the keys it lacks.
inline std::uint16_t UsScanCode(std::uint8_t virtualKey) {
    static const std::map<std::uint8_t, std::uint16_t> codes = [] {
        std::map<std::uint8_t, std::uint16_t> table{
            {0x03, 0xE046}, {0x08, 0x0E}, {0x09, 0x0F}, {0x0D, 0x1C}, {0x1B, 0x01}, {0x20, 0x39},
            {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35},
            {0xC0, 0x29}, {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}, {0xE2, 0x56},
        };
        const char* rows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
        const std::uint16_t firsts[] = {0x02, 0x10, 0x1E, 0x2C};
        for (int row = 0; row < 4; ++row)
            for (int i = 0; rows[row][i]; ++i) table[std::uint8_t(rows[row][i])] = std::uint16_t(firsts[row] + i);
        return table;
    }();
    const auto code = codes.find(virtualKey);
    return code == codes.end() ? 0 : code->second;
}

class FakeKeyboardLayout final : public KeyboardLayout {
public:
    // `scanCodes`: the keys whose scan code differs from a US keyboard's.
    explicit FakeKeyboardLayout(std::vector<FakeKey> keys, std::map<std::uint8_t, std::uint16_t> scanCodes = {})
        : keys_(std::move(keys)), scanCodes_(std::move(scanCodes)) {}

    void SetCapsLock(bool on) { capsLock_ = on; }
    // KeyFor finds no key for these characters, as Wine's VkKeyScanEx finds none for '(' and ')'.
    void HideFromKeyFor(std::u16string characters) { hidden_ = std::move(characters); }
    // From the next Update on, the keys are those of `other`: as when the user switches the
    // layout, or a window with another layout comes to the front.
    void ChangeOnNextUpdate(const FakeKeyboardLayout& other) { next_ = std::make_pair(other.keys_, other.scanCodes_); }

    void Update() override {
        ++updates_;
        if (next_) std::tie(keys_, scanCodes_) = *std::exchange(next_, std::nullopt);
    }
    int Updates() const { return updates_; }

    std::uint16_t ScanCodeOf(std::uint8_t virtualKey) override {
        const auto code = scanCodes_.find(virtualKey);
        return code == scanCodes_.end() ? UsScanCode(virtualKey) : code->second;
    }

    // Like VkKeyScanEx: the first key that has the character, dead or not, Caps Lock aside.
    std::optional<LayoutKey> KeyFor(char16_t wanted) override {
        if (hidden_.find(wanted) != std::u16string::npos) return std::nullopt;
        for (const FakeKey& key : keys_) {
            if (key.plain == wanted) return LayoutKey{key.virtualKey, 0};
            if (key.shifted == wanted) return LayoutKey{key.virtualKey, LayoutShift};
            if (key.altGr == wanted) return LayoutKey{key.virtualKey, LayoutCtrl | LayoutAlt};
        }
        return std::nullopt;
    }

    std::optional<char16_t> CharacterOf(LayoutKey wanted) override {
        for (const FakeKey& key : keys_) {
            if (key.virtualKey != wanted.virtualKey) continue;
            if (wanted.modifiers == (LayoutCtrl | LayoutAlt)) return Typed(key.altGr, key.deadAltGr);
            if (wanted.modifiers & ~LayoutShift) return std::nullopt;
            bool shift = wanted.modifiers == LayoutShift;
            if (capsLock_ && key.caps == CapsLock::Inverts) shift = !shift;
            if (capsLock_ && key.caps == CapsLock::Shifts) shift = true;
            return shift ? Typed(key.shifted, key.deadShifted) : Typed(key.plain, key.deadPlain);
        }
        return std::nullopt;
    }

private:
    static std::optional<char16_t> Typed(char16_t character, bool dead) {
        if (dead || character == 0) return std::nullopt;
        return character;
    }

    std::vector<FakeKey> keys_;
    std::map<std::uint8_t, std::uint16_t> scanCodes_;
    std::optional<std::pair<std::vector<FakeKey>, std::map<std::uint8_t, std::uint16_t>>> next_;
    std::u16string hidden_;
    bool capsLock_ = false;
    int updates_ = 0;
};

namespace fake_layouts {

// `keys` and the letter keys that it does not list: each virtual key A-Z types its own
// letter, wherever the layout puts it on the board.
inline std::vector<FakeKey> WithLetters(std::vector<FakeKey> keys) {
    for (char16_t letter = 'A'; letter <= 'Z'; ++letter) {
        const auto virtualKey = static_cast<std::uint8_t>(letter);
        bool listed = false;
        for (const FakeKey& key : keys) listed = listed || key.virtualKey == virtualKey;
        if (!listed) keys.push_back({virtualKey, char16_t(letter + 0x20), letter, 0, CapsLock::Inverts});
    }
    return keys;
}

inline FakeKeyboardLayout Us() {
    return FakeKeyboardLayout(WithLetters({
        {0x20, ' ', ' ', 0},
        {'0', '0', ')', 0}, {'1', '1', '!', 0}, {'2', '2', '@', 0}, {'3', '3', '#', 0},
        {'4', '4', '$', 0}, {'5', '5', '%', 0}, {'6', '6', '^', 0}, {'7', '7', '&', 0},
        {'8', '8', '*', 0}, {'9', '9', '(', 0},
        {0xBA, ';', ':', 0}, {0xBB, '=', '+', 0}, {0xBC, ',', '<', 0}, {0xBD, '-', '_', 0},
        {0xBE, '.', '>', 0}, {0xBF, '/', '?', 0}, {0xC0, '`', '~', 0}, {0xDB, '[', '{', 0},
        {0xDC, '\\', '|', 0}, {0xDD, ']', '}', 0}, {0xDE, '\'', '"', 0},
    }));
}

inline FakeKeyboardLayout Uk() {
    return FakeKeyboardLayout(WithLetters({
        {0x20, ' ', ' ', 0},
        {'0', '0', ')', 0}, {'1', '1', '!', 0}, {'2', '2', '"', 0}, {'3', '3', u'£', 0},
        {'4', '4', '$', u'€'}, {'5', '5', '%', 0}, {'6', '6', '^', 0}, {'7', '7', '&', 0},
        {'8', '8', '*', 0}, {'9', '9', '(', 0},
        {0xBA, ';', ':', 0}, {0xBB, '=', '+', 0}, {0xBC, ',', '<', 0}, {0xBD, '-', '_', 0},
        {0xBE, '.', '>', 0}, {0xBF, '/', '?', 0}, {0xC0, '\'', '@', 0}, {0xDB, '[', '{', 0},
        {0xDC, '\\', '|', 0}, {0xDD, ']', '}', 0}, {0xDE, '#', '~', 0}, {0xDF, '`', u'¬', u'¦'},
    }));
}

inline FakeKeyboardLayout German() {
    FakeKey circumflex{0xDC, '^', u'°', 0};
    circumflex.deadPlain = true;
    FakeKey accents{0xDD, u'´', '`', 0};
    accents.deadPlain = accents.deadShifted = true;
    return FakeKeyboardLayout(WithLetters({
        {0x20, ' ', ' ', 0},
        {'0', '0', '=', '}'}, {'1', '1', '!', 0}, {'2', '2', '"', u'²'}, {'3', '3', u'§', u'³'},
        {'4', '4', '$', 0}, {'5', '5', '%', 0}, {'6', '6', '&', 0}, {'7', '7', '/', '{'},
        {'8', '8', '(', '['}, {'9', '9', ')', ']'},
        {'Q', 'q', 'Q', '@', CapsLock::Inverts}, {'E', 'e', 'E', u'€', CapsLock::Inverts},
        {0xBA, u'ü', u'Ü', 0, CapsLock::Inverts}, {0xBB, '+', '*', '~'}, {0xBC, ',', ';', 0},
        {0xBD, '-', '_', 0}, {0xBE, '.', ':', 0}, {0xBF, '#', '\'', 0},
        {0xC0, u'ö', u'Ö', 0, CapsLock::Inverts}, {0xDB, u'ß', '?', '\\'}, circumflex, accents,
        {0xDE, u'ä', u'Ä', 0, CapsLock::Inverts}, {0xE2, '<', '>', '|'},
    }), {
        // Y and Z swap places; the keys right of 0 and P hold ß, ´, ü and +.
        {'Y', 0x2C}, {'Z', 0x15}, {0xDB, 0x0C}, {0xDD, 0x0D}, {0xBA, 0x1A}, {0xBB, 0x1B},
        {0xC0, 0x27}, {0xDE, 0x28}, {0xDC, 0x29}, {0xBF, 0x2B}, {0xBD, 0x35},
    });
}

inline FakeKeyboardLayout French() {
    FakeKey tilde{'2', u'é', '2', '~', CapsLock::Shifts};
    tilde.deadAltGr = true;
    FakeKey grave{'7', u'è', '7', '`', CapsLock::Shifts};
    grave.deadAltGr = true;
    FakeKey circumflex{0xDD, '^', u'¨', 0};
    circumflex.deadPlain = circumflex.deadShifted = true;
    return FakeKeyboardLayout(WithLetters({
        {0x20, ' ', ' ', 0},
        {'0', u'à', '0', '@', CapsLock::Shifts}, {'1', '&', '1', 0, CapsLock::Shifts}, tilde,
        {'3', '"', '3', '#', CapsLock::Shifts}, {'4', '\'', '4', '{', CapsLock::Shifts},
        {'5', '(', '5', '[', CapsLock::Shifts}, {'6', '-', '6', '|', CapsLock::Shifts}, grave,
        {'8', '_', '8', '\\', CapsLock::Shifts}, {'9', u'ç', '9', '^', CapsLock::Shifts},
        {0xBA, '$', u'£', u'¤'}, {0xBB, '=', '+', '}'}, {0xBC, ',', '?', 0}, {0xBE, ';', '.', 0},
        {0xBF, ':', '/', 0}, {0xC0, u'ù', '%', 0}, {0xDB, ')', u'°', ']'}, circumflex,
        {0xDC, '*', u'µ', 0}, {0xDF, '!', u'§', 0}, {0xE2, '<', '>', 0},
    }));
}

}  // namespace fake_layouts
