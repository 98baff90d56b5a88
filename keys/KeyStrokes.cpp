// Key-event sequences for each modifier code.
#include "keys/KeyStrokes.h"

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
