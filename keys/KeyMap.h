// The fixed table that says which key, with which modifiers, types each 7-bit character.
#pragma once

#include <cstdint>

// Which of Shift and Ctrl are held around a key. An enumeration, not a bit set:
// values other than these four are treated like ModifierNone.
enum ModifierCode : std::uint8_t {
    ModifierNone = 0,
    ModifierShift = 1,
    ModifierCtrl = 2,
    ModifierShiftCtrl = 3,
};

struct KeyMapEntry {
    std::uint8_t virtualKey;
    ModifierCode modifier;
};

constexpr int KeyMapRows = 128;

// Two parallel columns indexed by the byte value 0x00-0x7F (US keyboard layout).
struct KeyMapColumns {
    std::uint8_t virtualKey[KeyMapRows];
    std::uint8_t modifier[KeyMapRows];
};

extern const KeyMapColumns KeyMap;
