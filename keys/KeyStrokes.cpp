// Key-event sequences: for each modifier code, and for a character on the receiving layout.
#include "keys/KeyStrokes.h"

#include <algorithm>
#include <optional>

#include "keys/KeyMap.h"
#include "keys/VirtualKeys.h"

namespace {

// The scan codes that a stroke's events carry, and whether every event is marked extended.
struct StrokeScanCodes {
    std::uint16_t shift;
    std::uint16_t ctrl;
    std::uint16_t key;
    bool allExtended;
};

// The key table's receivers see exactly these values: Shift and Ctrl with scan code 0x45, the
// key itself with 0, every event marked extended.
constexpr StrokeScanCodes KeyTableScanCodes{0x45, 0x45, 0x00, true};
// The left-hand Shift and Ctrl of a real keyboard.
constexpr std::uint16_t ShiftScanCode = 0x2A;
constexpr std::uint16_t CtrlScanCode = 0x1D;

KeyEvent Event(std::uint8_t virtualKey, std::uint16_t scanCode, bool release, bool extended) {
    const bool prefixed = (scanCode & 0xFF00) == ExtendedScanCode;
    const std::uint32_t flags =
        (release ? KeyEventKeyUp : 0) | (extended || prefixed ? KeyEventExtendedKey : 0);
    return {virtualKey, static_cast<std::uint16_t>(scanCode & 0xFF), flags, 0};
}

void AppendStroke(KeyEvents& events, std::uint8_t virtualKey, std::uint8_t modifier, const StrokeScanCodes& scan) {
    const bool shift = modifier == ModifierShift || modifier == ModifierShiftCtrl;
    const bool ctrl = modifier == ModifierCtrl || modifier == ModifierShiftCtrl;
    const bool extended = scan.allExtended;

    if (shift) events.push_back(Event(VirtualKey::Shift, scan.shift, false, extended));
    if (ctrl) events.push_back(Event(VirtualKey::Control, scan.ctrl, false, extended));
    events.push_back(Event(virtualKey, scan.key, false, extended));
    events.push_back(Event(virtualKey, scan.key, true, extended));
    // Modifiers come up in the order they went down: Shift before Ctrl.
    if (shift) events.push_back(Event(VirtualKey::Shift, scan.shift, true, extended));
    if (ctrl) events.push_back(Event(VirtualKey::Control, scan.ctrl, true, extended));
}

// The stroke with the scan codes that the layout gives its keys.
void AppendScannedStroke(KeyEvents& events, KeyboardLayout& layout, std::uint8_t virtualKey, std::uint8_t modifier) {
    AppendStroke(events, virtualKey, modifier, {ShiftScanCode, CtrlScanCode, layout.ScanCodeOf(virtualKey), false});
}

// `key`, or `key` with Shift inverted, if it types `character` on `layout` exactly and at once.
std::optional<LayoutKey> ExactKey(KeyboardLayout& layout, std::optional<LayoutKey> key, char16_t character) {
    // No Ctrl or Alt: Wine makes no character of an injected Ctrl+Alt (AltGr), and many
    // programs take Ctrl+Alt+key as a shortcut instead of a character.
    if (!key || (key->modifiers & ~LayoutShift) != 0) return std::nullopt;
    if (layout.CharacterOf(*key) == character) return key;
    // Caps Lock inverts Shift on letters, and on some layouts on other keys too.
    const LayoutKey inverted{key->virtualKey, std::uint8_t(key->modifiers ^ LayoutShift)};
    if (layout.CharacterOf(inverted) == character) return inverted;
    // A dead key, or a key that Caps Lock turns into another character.
    return std::nullopt;
}

// The key, with Shift at most, that types `character` on `layout` exactly and at once.
std::optional<LayoutKey> ExactKeyFor(KeyboardLayout& layout, char16_t character) {
    // For ASCII the key table's key first: wherever it types the character (everywhere on US),
    // the receiving window sees the keys it always saw, even where the layout's own answer
    // falls short (Wine finds no key for '(' and ')').
    if (character < KeyMapRows) {
        const std::uint8_t tableShift = KeyMap.modifier[character] == ModifierShift ? LayoutShift : std::uint8_t{0};
        const LayoutKey tableKey{KeyMap.virtualKey[character], tableShift};
        if (const std::optional<LayoutKey> key = ExactKey(layout, tableKey, character)) return key;
    }
    return ExactKey(layout, layout.KeyFor(character), character);
}

// The character itself, which no layout or dead key can change: beyond U+FFFF as the two
// UTF-16 units that stand for it, which the receiving window puts together.
void AppendUnicode(KeyEvents& events, char32_t character) {
    const auto unit = [&events](char16_t code) {
        events.push_back({0, code, KeyEventUnicode, 0});
        events.push_back({0, code, KeyEventUnicode | KeyEventKeyUp, 0});
    };
    if (character <= 0xFFFF) {
        unit(static_cast<char16_t>(character));
        return;
    }
    const char32_t offset = character - 0x10000;
    unit(static_cast<char16_t>(0xD800 + (offset >> 10)));
    unit(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

bool IsControl(char32_t character) { return character < 0x20 || character == 0x7F; }
// The C1 controls, which no keyboard has and no text needs.
bool IsC1Control(char32_t character) { return character >= 0x80 && character <= 0x9F; }

void AppendCharacter(KeyEvents& events, KeyboardLayout& layout, char32_t character) {
    if (IsControl(character)) {
        AppendScannedStroke(events, layout, KeyMap.virtualKey[character], KeyMap.modifier[character]);
    } else if (IsC1Control(character)) {
        return;
    } else if (const std::optional<LayoutKey> key =
                   character <= 0xFFFF ? ExactKeyFor(layout, static_cast<char16_t>(character)) : std::nullopt) {
        AppendScannedStroke(events, layout, key->virtualKey, (key->modifiers & LayoutShift) ? ModifierShift : ModifierNone);
    } else {
        AppendUnicode(events, character);
    }
}

// Whether `release` lets go of what `press` pressed: the same key, or the same character.
bool Releases(const KeyEvent& release, const KeyEvent& press) {
    if ((release.flags & KeyEventUnicode) != (press.flags & KeyEventUnicode)) return false;
    return (press.flags & KeyEventUnicode) ? release.scanCode == press.scanCode
                                           : release.virtualKey == press.virtualKey;
}

}  // namespace

void AppendKeyStroke(KeyEvents& events, std::uint8_t virtualKey, std::uint8_t modifier) {
    AppendStroke(events, virtualKey, modifier, KeyTableScanCodes);
}

void SendKeyStroke(KeyEventSink& sink, std::uint8_t virtualKey, std::uint8_t modifier) {
    KeyEvents events;
    AppendKeyStroke(events, virtualKey, modifier);
    sink.Send(events);
}

void AppendKeyTableStrokes(KeyEvents& events, const char32_t* characters, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t character = characters[i];
        if (character < KeyMapRows)
            AppendKeyStroke(events, KeyMap.virtualKey[character], KeyMap.modifier[character]);
        else if (!IsC1Control(character))
            AppendUnicode(events, character);
    }
}

void SendBytesAsKeys(KeyEventSink& sink, const std::uint8_t* bytes, std::uint32_t count) {
    // Bytes 0x80-0xFF have no key on a US keyboard: they type nothing rather than guess a key,
    // and the table is never read past its 128 rows.
    for (std::uint32_t i = 0; i < count; ++i)
        if (bytes[i] < KeyMapRows) SendKeyStroke(sink, KeyMap.virtualKey[bytes[i]], KeyMap.modifier[bytes[i]]);
}

void AppendCharacterStrokes(KeyEvents& events, KeyboardLayout& layout, const char32_t* characters,
                            std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) AppendCharacter(events, layout, characters[i]);
}

KeyEvents ReleasesOfKeysLeftDown(const KeyEvents& events, std::size_t sent) {
    KeyEvents down;
    for (std::size_t i = 0; i < std::min(sent, events.size()); ++i) {
        const KeyEvent& event = events[i];
        if (!(event.flags & KeyEventKeyUp)) {
            down.push_back(event);
            continue;
        }
        const auto pressed = std::find_if(down.rbegin(), down.rend(),
                                          [&](const KeyEvent& press) { return Releases(event, press); });
        if (pressed != down.rend()) down.erase(std::next(pressed).base());
    }
    KeyEvents releases;
    for (auto press = down.rbegin(); press != down.rend(); ++press) {
        releases.push_back(*press);
        releases.back().flags |= KeyEventKeyUp;
    }
    return releases;
}
