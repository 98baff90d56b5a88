// Turns received characters into synthesized key strokes: the key table's, or the characters on the receiving layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "keys/KeyboardLayout.h"

// One key transition, as the platform's SendInput takes it.
struct KeyEvent {
    std::uint8_t virtualKey;
    // The key's scan code; with KeyEventUnicode, a UTF-16 unit of the character instead.
    std::uint16_t scanCode;
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

// The events of whole strokes, in order: every key they press, they release again.
using KeyEvents = std::vector<KeyEvent>;

// Where key events go: the platform's input stream, or a recorder in tests.
class KeyEventSink {
public:
    // Puts the events into the input stream as one piece, so that no other input, a key
    // the user presses or a click, falls between them.
    virtual void Send(const KeyEvents& events) = 0;

protected:
    ~KeyEventSink() = default;
};

// Appends the press and release of one key with the modifiers that `modifier` names, in the
// values the key table's receivers have always seen: Shift and Ctrl with scan code 0x45, the
// key with 0, and the extended-key flag on every event.
void AppendKeyStroke(KeyEvents& events, std::uint8_t virtualKey, std::uint8_t modifier);

// Sends that one stroke by itself.
void SendKeyStroke(KeyEventSink& sink, std::uint8_t virtualKey, std::uint8_t modifier);

// Appends the key table's stroke of every character below 0x80, in order. The key table has no
// key for the others: the C1 controls (U+0080-U+009F) type nothing, and the rest goes as the
// characters themselves.
void AppendKeyTableStrokes(KeyEvents& events, const char32_t* characters, std::size_t count);

// Sends the key table's stroke of every byte, each stroke by itself, with nothing skipped or
// held back.
void SendBytesAsKeys(KeyEventSink& sink, const std::uint8_t* bytes, std::uint32_t count);

// Appends strokes that type every printable character as the character it is on `layout`, the
// receiving window's layout as its last Update found it: with the layout's key where one key,
// with Shift at most, types it exactly, otherwise as the character itself (beyond U+FFFF, as its
// two UTF-16 units). Control characters (below 0x20) and DEL strike the key table's keys; the C1
// controls (U+0080-U+009F) type nothing. Every key event carries the scan code that the layout
// gives its key (Shift 0x2A, Ctrl 0x1D), and the extended-key flag only where that scan code has
// the E0 prefix: programs that read scan codes, such as remote desktop clients, see the keys of
// a real keyboard.
void AppendCharacterStrokes(KeyEvents& events, KeyboardLayout& layout, const char32_t* characters,
                            std::size_t count);

// The releases of the keys that the first `sent` of `events` leave down, the last pressed
// first: for when the platform took only part of the events.
KeyEvents ReleasesOfKeysLeftDown(const KeyEvents& events, std::size_t sent);
