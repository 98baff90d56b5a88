// The keyboard layout of the window in front, as Windows describes it.
#pragma once

#include <windows.h>

#include "keys/KeyboardLayout.h"

class WindowsKeyboardLayout final : public KeyboardLayout {
public:
    void Update() override;
    std::optional<LayoutKey> KeyFor(char character) override;
    std::optional<char16_t> CharacterOf(LayoutKey key) override;

private:
    HKL layout_ = nullptr;
    bool capsLock_ = false;
};
