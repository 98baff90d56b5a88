// The keyboard layout of the window in front, as Windows describes it.
#pragma once

#include <windows.h>

#include "keys/KeyboardLayout.h"

class WindowsKeyboardLayout final : public KeyboardLayout {
public:
    void Update() override;
    std::optional<LayoutKey> KeyFor(char16_t character) override;
    std::optional<char16_t> CharacterOf(LayoutKey key) override;
    std::uint16_t ScanCodeOf(std::uint8_t virtualKey) override;

private:
    std::optional<char16_t> Translate(LayoutKey key) const;

    HKL layout_ = nullptr;
    bool capsLock_ = false;
    // ToUnicodeEx takes tens of microseconds under Wine, more than the key events: its
    // answers for keys with and without Shift, and the keys' scan codes, are kept until the
    // layout or Caps Lock changes.
    struct Answer {
        bool known;
        std::optional<char16_t> character;
    };
    Answer answers_[2][256] = {};
    std::optional<std::uint16_t> scanCodes_[256] = {};
};
