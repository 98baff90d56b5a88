// What the platform tells about the keyboard layout of the window that receives the keys.
#pragma once

#include <cstdint>
#include <optional>

// Modifier bits of a layout's key, as Windows numbers them.
constexpr std::uint8_t LayoutShift = 0x1;
constexpr std::uint8_t LayoutCtrl = 0x2;
constexpr std::uint8_t LayoutAlt = 0x4;

// A key and the modifiers held while it is struck; Ctrl and Alt together are AltGr.
struct LayoutKey {
    std::uint8_t virtualKey;
    std::uint8_t modifiers;
};

// The prefix byte of an extended key's scan code (the arrows, the right-hand Ctrl and Alt).
constexpr std::uint16_t ExtendedScanCode = 0xE000;

class KeyboardLayout {
public:
    // Looks afresh at the receiving window, its layout and Caps Lock; the answers below
    // describe them as they were then.
    virtual void Update() = 0;
    // The key that makes `character` on the receiving window's layout, as if Caps Lock
    // were off; none when no key of the layout makes it.
    virtual std::optional<LayoutKey> KeyFor(char16_t character) = 0;
    // The character that striking `key` types there now, Caps Lock included; none when it
    // types nothing at once (a dead key waits for the next one) or more than one character.
    virtual std::optional<char16_t> CharacterOf(LayoutKey key) = 0;
    // The scan code of the key with that virtual key on the layout, with ExtendedScanCode for
    // an extended key; 0 when the layout has no such key.
    virtual std::uint16_t ScanCodeOf(std::uint8_t virtualKey) = 0;

protected:
    ~KeyboardLayout() = default;
};
