// The keyboard layout of the window in front, as Windows describes it.
#include "keys/windows/WindowsKeyboardLayout.h"

namespace {

// ToUnicodeEx leaves the keyboard's dead-key state alone (Windows 10 1607 and later).
constexpr UINT KeepDeadKeyState = 0x4;

}  // namespace

void WindowsKeyboardLayout::Update() {
    // The thread that owns the window in front is the one that reads the keys.
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), nullptr));
    // A thread that takes no keyboard input of its own sees the system's Caps Lock here.
    // Not AttachThreadInput to the receiving thread: that resets its key state, Shift
    // included, while it may still be reading keys typed before.
    const bool capsLock = GetKeyState(VK_CAPITAL) & 0x1;
    if (layout != layout_ || capsLock != capsLock_) {
        for (auto& answers : answers_)
            for (Answer& answer : answers) answer = {};
        for (std::optional<std::uint16_t>& scanCode : scanCodes_) scanCode.reset();
    }
    layout_ = layout;
    capsLock_ = capsLock;
}

std::optional<LayoutKey> WindowsKeyboardLayout::KeyFor(char16_t character) {
    const SHORT key = VkKeyScanExW(character, layout_);
    if (key == -1) return std::nullopt;
    return LayoutKey{LOBYTE(key), HIBYTE(key)};
}

std::optional<char16_t> WindowsKeyboardLayout::CharacterOf(LayoutKey key) {
    if (key.modifiers & ~LayoutShift) return Translate(key);
    Answer& answer = answers_[key.modifiers][key.virtualKey];
    if (!answer.known) answer = {true, Translate(key)};
    return answer.character;
}

std::uint16_t WindowsKeyboardLayout::ScanCodeOf(std::uint8_t virtualKey) {
    std::optional<std::uint16_t>& scanCode = scanCodes_[virtualKey];
    // The _EX form answers an extended key's scan code with its E0 prefix.
    if (!scanCode) scanCode = static_cast<std::uint16_t>(MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC_EX, layout_));
    return *scanCode;
}

std::optional<char16_t> WindowsKeyboardLayout::Translate(LayoutKey key) const {
    BYTE state[256] = {};
    if (key.modifiers & LayoutShift) state[VK_SHIFT] = 0x80;
    if (key.modifiers & LayoutCtrl) state[VK_CONTROL] = 0x80;
    if (key.modifiers & LayoutAlt) state[VK_MENU] = 0x80;
    if (capsLock_) state[VK_CAPITAL] = 0x1;
    const UINT scanCode = MapVirtualKeyExW(key.virtualKey, MAPVK_VK_TO_VSC, layout_);
    WCHAR typed[4];
    const int count = ToUnicodeEx(key.virtualKey, scanCode, state, typed, 4, KeepDeadKeyState, layout_);
    // A dead key answers -1. Older Windows keeps it pending despite the flag; striking it
    // again in the same way clears it, so that no later key combines with it.
    if (count < 0) ToUnicodeEx(key.virtualKey, scanCode, state, typed, 4, KeepDeadKeyState, layout_);
    if (count != 1) return std::nullopt;
    return typed[0];
}
