// Test fixture: a focused window that logs every key message it receives.
//
//   Receiver.exe [--stream] LOGFILE
//
// Each line of LOGFILE is one event, in the order of arrival:
//   READY
//   KEYDOWN vk=41 scan=00 ext=1 t=1765342800123456   (also KEYUP, SYSKEYDOWN, SYSKEYUP; values in hex)
//   CHAR 61 t=1765342800123460
//   TEXT 48656c6c6f      (the edit control's whole text, UTF-16 units in hex, after each change)
// t is when the message was taken from the queue, in microseconds of the Unix epoch, so that
// a test on the host can set it against its own clock.
//
// Posted WM_LETGOOFFOCUS, the window gives up being the active window without another taking its
// place: no window is in front then, as on a locked or secure desktop.
//
// By default the keys go to an edit control, as typing into a real application does. With
// --stream the window takes them itself and keeps no text: it keeps up with long, fast
// streams that an edit control could not hold.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace {

FILE* logFile;
WNDPROC editProc;

unsigned long long UnixMicroseconds() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr unsigned long long UnixEpochInTicks = 116444736000000000ULL;  // 100 ns ticks since 1601
    return (ticks - UnixEpochInTicks) / 10;
}

const char* KeyMessageName(UINT message) {
    switch (message) {
        case WM_KEYDOWN: return "KEYDOWN";
        case WM_KEYUP: return "KEYUP";
        case WM_SYSKEYDOWN: return "SYSKEYDOWN";
        case WM_SYSKEYUP: return "SYSKEYUP";
        default: return nullptr;
    }
}

// Logs a key or character message; false for any other message.
bool LogKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* name = KeyMessageName(message)) {
        std::fprintf(logFile, "%s vk=%02x scan=%02x ext=%d t=%llu\n", name, unsigned(wParam),
                     unsigned((lParam >> 16) & 0xFF), int((lParam >> 24) & 1), UnixMicroseconds());
        return true;
    }
    if (message == WM_CHAR || message == WM_SYSCHAR) {
        std::fprintf(logFile, "%s %02x t=%llu\n", message == WM_CHAR ? "CHAR" : "SYSCHAR", unsigned(wParam),
                     UnixMicroseconds());
        return true;
    }
    return false;
}

LRESULT CALLBACK LoggingEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    LogKeyMessage(message, wParam, lParam);
    return CallWindowProcW(editProc, edit, message, wParam, lParam);
}

void LogText(HWND edit) {
    wchar_t text[8192];
    const int length = GetWindowTextW(edit, text, 8192);
    std::fputs("TEXT ", logFile);
    for (int i = 0; i < length; ++i) std::fprintf(logFile, "%04x", unsigned(text[i]));
    std::fputc('\n', logFile);
}

HWND CreateLoggingEdit(HWND window) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
                                0, 0, 400, 200, window, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingEditProc)));
    return edit;
}

bool streaming;

constexpr UINT WM_LETGOOFFOCUS = WM_APP + 1;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static HWND edit;
    if (streaming && LogKeyMessage(message, wParam, lParam)) return 0;
    switch (message) {
        case WM_CREATE:
            if (!streaming) edit = CreateLoggingEdit(window);
            return 0;
        case WM_SETFOCUS:
            if (edit) SetFocus(edit);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE) LogText(edit);
            return 0;
        case WM_TIMER:
            std::fflush(logFile);
            return 0;
        case WM_LETGOOFFOCUS:
            SetActiveWindow(nullptr);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    streaming = argc == 3 && std::wcscmp(argv[1], L"--stream") == 0;
    if (argc != 2 + streaming) return 2;
    logFile = _wfopen(argv[argc - 1], L"w");
    if (!logFile) return 2;
    // Written out by a timer, which comes only when the queue has run empty: a write per
    // message would slow a fast stream.
    std::setvbuf(logFile, nullptr, _IOFBF, 1 << 20);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"SerialKeyReceiver";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"SerialKeyReceiver", L"Receiver", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  20, 20, 420, 240, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    SetTimer(window, 1, 20, nullptr);

    // READY once the queue is first idle: by then the window is shown and focused.
    PostMessageW(window, WM_NULL, 0, 0);
    bool ready = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        if (!ready && GetForegroundWindow() == window) {
            ready = true;
            std::fputs("READY\n", logFile);
            std::fflush(logFile);
        }
    }
    std::fclose(logFile);
    return 0;
}
