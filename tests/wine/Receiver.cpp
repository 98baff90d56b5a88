// Test fixture: a window with a focused edit control that logs every key message it receives.
//
//   Receiver.exe LOGFILE
//
// Each line of LOGFILE is one event, written as it happens:
//   READY
//   KEYDOWN vk=41 scan=00 ext=1      (also KEYUP, SYSKEYDOWN, SYSKEYUP; values in hex)
//   CHAR 61
//   TEXT 48656c6c6f                   (the edit control's whole text, UTF-16 units in hex, after each change)
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

FILE* logFile;
WNDPROC editProc;

void Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(logFile, format, args);
    va_end(args);
    fputc('\n', logFile);
    fflush(logFile);
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

LRESULT CALLBACK LoggingEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* name = KeyMessageName(message)) {
        Log("%s vk=%02x scan=%02x ext=%d", name, unsigned(wParam), unsigned((lParam >> 16) & 0xFF),
            int((lParam >> 24) & 1));
    } else if (message == WM_CHAR || message == WM_SYSCHAR) {
        Log("%s %02x", message == WM_CHAR ? "CHAR" : "SYSCHAR", unsigned(wParam));
    }
    return CallWindowProcW(editProc, edit, message, wParam, lParam);
}

void LogText(HWND edit) {
    wchar_t text[8192];
    const int length = GetWindowTextW(edit, text, 8192);
    char line[8192 * 4 + 8] = "TEXT ";
    char* out = line + 5;
    for (int i = 0; i < length; ++i) out += sprintf(out, "%04x", unsigned(text[i]));
    Log("%s", line);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static HWND edit;
    switch (message) {
        case WM_CREATE:
            edit = CreateWindowExW(0, L"EDIT", L"",
                                   WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN |
                                       ES_AUTOVSCROLL,
                                   0, 0, 400, 200, window, reinterpret_cast<HMENU>(1), nullptr, nullptr);
            editProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingEditProc)));
            return 0;
        case WM_SETFOCUS:
            SetFocus(edit);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE) LogText(edit);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    logFile = _wfopen(commandLine, L"w");
    if (!logFile) return 2;

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

    // READY once the queue is first idle: by then the window is shown and focused.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    PostMessageW(window, WM_NULL, 0, 0);
    bool ready = false;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        if (!ready && GetForegroundWindow() == window) {
            ready = true;
            Log("READY");
        }
    }
    fclose(logFile);
    return 0;
}
