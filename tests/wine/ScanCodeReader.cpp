// Test fixture: reads the keyboard as a remote desktop client does, from a low-level keyboard hook,
// and rebuilds the typed text from the scan codes alone.
//
//   ScanCodeReader.exe LOGFILE
//
// Each line of LOGFILE is one event, in the order the hook sees them:
//   READY
//   KEY down vk=41 scan=1e ext=0 injected=1     (also "up"; values in hex)
//   CHAR 0041                                   (a character rebuilt, as a UTF-16 unit in hex)
//   ERROR scan 0                                (a key event without a scan code: nothing to forward)
// The virtual key is logged, never used: a remote client sends the scan code, and the other side
// makes the key of it with its own layout, as here MapVirtualKey and ToUnicode do. Shift and Ctrl
// are tracked by their scan codes. A character sent as itself (VK_PACKET) arrives as it is.
#include <windows.h>

#include <cstdio>

namespace {

FILE* logFile;
bool shift, ctrl;

constexpr DWORD LeftShift = 0x2A, RightShift = 0x36, Ctrl = 0x1D, Alt = 0x38;

void LogCharacters(const wchar_t* characters, int count) {
    for (int i = 0; i < count; ++i) std::fprintf(logFile, "CHAR %04x\n", unsigned(characters[i]));
}

void Rebuild(const KBDLLHOOKSTRUCT& key, bool down) {
    if (key.vkCode == VK_PACKET) {
        // Its key-up carries no up flag: the message says which it is.
        const wchar_t character = static_cast<wchar_t>(key.scanCode);
        if (down) LogCharacters(&character, 1);
        return;
    }
    // Wine makes VK_VOLUME_MUTE of scan code 0: no key at all, for a client.
    if (key.scanCode == 0) {
        std::fputs("ERROR scan 0\n", logFile);
        return;
    }
    if (key.scanCode == LeftShift || key.scanCode == RightShift) {
        shift = down;
        return;
    }
    if (key.scanCode == Ctrl) {
        ctrl = down;
        return;
    }
    if (!down || key.scanCode == Alt) return;
    const UINT scanCode = key.scanCode | ((key.flags & LLKHF_EXTENDED) ? 0xE000 : 0);
    const UINT virtualKey = MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX);
    BYTE state[256] = {};
    if (shift) state[VK_SHIFT] = 0x80;
    if (ctrl) state[VK_CONTROL] = 0x80;
    wchar_t characters[4];
    const int count = ToUnicode(virtualKey, key.scanCode, state, characters, 4, 0);
    if (count > 0) LogCharacters(characters, count);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        std::fprintf(logFile, "KEY %s vk=%02lx scan=%02lx ext=%d injected=%d\n", down ? "down" : "up",
                     static_cast<unsigned long>(key.vkCode), static_cast<unsigned long>(key.scanCode),
                     (key.flags & LLKHF_EXTENDED) ? 1 : 0, (key.flags & LLKHF_INJECTED) ? 1 : 0);
        Rebuild(key, down);
        std::fflush(logFile);
    }
    return CallNextHookEx(nullptr, code, message, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 || !(logFile = _wfopen(argv[1], L"w"))) return 2;
    if (!SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0)) return 1;
    std::fputs("READY\n", logFile);
    std::fflush(logFile);
    // A low-level hook is called through the message queue of the thread that set it.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
