// Key-event sequences: for each modifier code, and for a character on the receiving layout.
#include "keys/KeyStrokes.h"

#include <optional>

#include "keys/KeyMap.h"
#include "keys/VirtualKeys.h"

namespace {

// Every event carries the extended-key flag, and Shift and Ctrl all carry scan
// code 0x45 while the key itself carries 0: receivers see exactly these values.
constexpr std::uint8_t ModifierScanCode = 0x45;
constexpr std::uint8_t KeyScanCode = 0x00;
constexpr std::uint32_t PressFlags = KeyEventExtendedKey;
constexpr std::uint32_t ReleaseFlags = KeyEventExtendedKey | KeyEventKeyUp;

void Press(KeyEventSink& sink, std::uint8_t virtualKey, std::uint8_t scanCode) {
    sink.Emit({virtualKey, scanCode, PressFlags, 0});
}

void Release(KeyEventSink& sink, std::uint8_t virtualKey, std::uint8_t scanCode) {
    sink.Emit({virtualKey, scanCode, ReleaseFlags, 0});
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

// The character itself, which no layout or dead key can change. Printable ASCII fits the
// scan code's byte.
void SendUnicode(KeyEventSink& sink, char character) {
    const auto code = static_cast<std::uint8_t>(character);
    sink.Emit({0, code, KeyEventUnicode, 0});
    sink.Emit({0, code, KeyEventUnicode | KeyEventKeyUp, 0});
}

void SendCharacter(KeyEventSink& sink, KeyboardLayout& layout, char character) {
    if (const std::optional<LayoutKey> key = ExactKeyFor(layout, character))
        SendKeyStroke(sink, key->virtualKey, (key->modifiers & LayoutShift) ? ModifierShift : ModifierNone);
    else
        SendUnicode(sink, character);
}

bool IsPrintable(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

}  // namespace

void SendKeyStroke(KeyEventSink& sink, std::uint8_t virtualKey, std::uint8_t modifier) {
    const bool shift = modifier == ModifierShift || modifier == ModifierShiftCtrl;
    const bool ctrl = modifier == ModifierCtrl || modifier == ModifierShiftCtrl;

    if (shift) Press(sink, VirtualKey::Shift, ModifierScanCode);
    if (ctrl) Press(sink, VirtualKey::Control, ModifierScanCode);
    Press(sink, virtualKey, KeyScanCode);
    Release(sink, virtualKey, KeyScanCode);
    // Modifiers come up in the order they went down: Shift before Ctrl.
    if (shift) Release(sink, VirtualKey::Shift, ModifierScanCode);
    if (ctrl) Release(sink, VirtualKey::Control, ModifierScanCode);
}

void SendBytesAsKeys(KeyEventSink& sink, const std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        // Bytes 0x80-0xFF have no key on a US keyboard: they type nothing rather
        // than guess a key, and the table is never read past its 128 rows.
        if (byte >= KeyMapRows) continue;
        SendKeyStroke(sink, KeyMap.virtualKey[byte], KeyMap.modifier[byte]);
    }
}

void SendBytesAsCharacters(KeyEventSink& sink, KeyboardLayout& layout, const std::uint8_t* bytes,
                           std::uint32_t count) {
    layout.Update();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (IsPrintable(bytes[i]))
            SendCharacter(sink, layout, static_cast<char>(bytes[i]));
        else
            SendBytesAsKeys(sink, &bytes[i], 1);
    }
}
