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
std::optional<LayoutKey> ExactKey(KeyboardLayout& layout, std::optional<LayoutKey> key, char character) {
    // No Ctrl or Alt: Wine makes no character of an injected Ctrl+Alt (AltGr), and many
    // programs take Ctrl+Alt+key as a shortcut instead of a character.
    if (!key || (key->modifiers & ~LayoutShift) != 0) return std::nullopt;
    if (layout.CharacterOf(*key) == char16_t(character)) return key;
    // Caps Lock inverts Shift on letters, and on some layouts on other keys too.
    const LayoutKey inverted{key->virtualKey, std::uint8_t(key->modifiers ^ LayoutShift)};
    if (layout.CharacterOf(inverted) == char16_t(character)) return inverted;
    // A dead key, or a key that Caps Lock turns into another character.
    return std::nullopt;
}

// The key, with Shift at most, that types `character` on `layout` exactly and at once.
std::optional<LayoutKey> ExactKeyFor(KeyboardLayout& layout, char character) {
    // The key table's key first: wherever it types the character (everywhere on US), the
    // receiving window sees the keys it always saw, even where the layout's own answer
    // falls short (Wine finds no key for '(' and ')').
    const auto byte = static_cast<std::uint8_t>(character);
    const std::uint8_t tableShift = KeyMap.modifier[byte] == ModifierShift ? LayoutShift : std::uint8_t{0};
    const LayoutKey tableKey{KeyMap.virtualKey[byte], tableShift};
    if (const std::optional<LayoutKey> key = ExactKey(layout, tableKey, character)) return key;
    return ExactKey(layout, layout.KeyFor(character), character);
}

// The character itself, which no layout or dead key can change.
void AppendUnicode(KeyEvents& events, char16_t unit) {
    events.push_back({0, unit, KeyEventUnicode, 0});
    events.push_back({0, unit, KeyEventUnicode | KeyEventKeyUp, 0});
}

void AppendCharacter(KeyEvents& events, KeyboardLayout& layout, char character) {
    if (const std::optional<LayoutKey> key = ExactKeyFor(layout, character))
        AppendScannedStroke(events, layout, key->virtualKey, (key->modifiers & LayoutShift) ? ModifierShift : ModifierNone);
    else
        AppendUnicode(events, static_cast<std::uint8_t>(character));
}

bool IsPrintable(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

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

void AppendKeyTableStrokes(KeyEvents& events, const std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        // Bytes 0x80-0xFF have no key on a US keyboard: they type nothing rather
        // than guess a key, and the table is never read past its 128 rows.
        if (byte >= KeyMapRows) continue;
        AppendKeyStroke(events, KeyMap.virtualKey[byte], KeyMap.modifier[byte]);
    }
}

void SendBytesAsKeys(KeyEventSink& sink, const std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i)
        if (bytes[i] < KeyMapRows) SendKeyStroke(sink, KeyMap.virtualKey[bytes[i]], KeyMap.modifier[bytes[i]]);
}

void AppendCharacterStrokes(KeyEvents& events, KeyboardLayout& layout, const std::uint8_t* bytes,
                            std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        if (IsPrintable(byte))
            AppendCharacter(events, layout, static_cast<char>(byte));
        else if (byte < KeyMapRows)
            AppendScannedStroke(events, layout, KeyMap.virtualKey[byte], KeyMap.modifier[byte]);
    }
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
