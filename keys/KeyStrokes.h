// Turns received bytes into synthesized key events, one complete stroke per byte.
#pragma once

#include <cstdint>

#include "keys/KeyboardLayout.h"

// One key transition, as the platform's keybd_event takes it.
struct KeyEvent {
    std::uint8_t virtualKey;
    std::uint8_t scanCode;
    std::uint32_t flags;
    std::uintptr_t extraInfo;

    bool operator==(const KeyEvent& other) const {
        return virtualKey == other.virtualKey && scanCode == other.scanCode &&
               flags == other.flags && extraInfo == other.extraInfo;
    }
};

constexpr std::uint32_t KeyEventExtendedKey = 0x1;
constexpr std::uint32_t KeyEventKeyUp = 0x2;
// The event carries a character in its scan code instead of a key (virtual key 0).
constexpr std::uint32_t KeyEventUnicode = 0x4;

// Where key events go: the platform's input stream, or a recorder in tests.
class KeyEventSink {
public:
    virtual void Emit(const KeyEvent& event) = 0;

protected:
    ~KeyEventSink() = default;
};

// Presses and releases one key with the modifiers that `modifier` names.
void SendKeyStroke(KeyEventSink& sink, std::uint8_t virtualKey, std::uint8_t modifier);

// Strikes the key of every byte, in order, with nothing skipped or held back.
void SendBytesAsKeys(KeyEventSink& sink, const std::uint8_t* bytes, std::uint32_t count);

// Types every printable character (0x20-0x7E) as the character it is on `layout`, the
// receiving window's layout. Control characters and DEL strike the key table's keys, and
// bytes 0x80-0xFF type nothing, as with SendBytesAsKeys.
void SendBytesAsCharacters(KeyEventSink& sink, KeyboardLayout& layout, const std::uint8_t* bytes,
                           std::uint32_t count);
