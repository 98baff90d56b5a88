// Test fixture: stands in for a service of the system, so that a test sees what a program asks of it.
//
//   StandIn.exe help LOGFILE                 the help engine: a window of class MS_WINHELP
//   StandIn.exe tray accept|refuse LOGFILE   the notification area, which takes or refuses every request
//   StandIn.exe browser LOGFILE ARGUMENT...  a web browser, registered as the command for web links
//
// The first two run until they are ended and log what they are asked. LOGFILE gets "READY" once the
// window exists, then one line per request (numbers in hex; message 0 adds an icon, 1 modifies,
// 2 deletes):
//   HELP command=1 data=20066 file=Z:\...\SerialKey.HLP
//   ICON message=0 window=00010064 id=8065 flags=7 callback=8065
// The browser adds one line per argument it was started with, in UTF-8, and ends:
//   ARGUMENT file:///Z:/.../SerialKey.html#context-0x20066
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* logFile;

// What WinHelp sends the engine with WM_COPYDATA; the file name follows at ofsFilename.
constexpr ULONG_PTR HelpRequestTag = 0xA1DE505;
#pragma pack(push, 1)
struct HelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};
#pragma pack(pop)

void LogHelpRequest(const COPYDATASTRUCT& copy) {
    const auto* request = static_cast<const HelpRequest*>(copy.lpData);
    if (copy.dwData != HelpRequestTag || copy.cbData < sizeof *request) return;
    std::string file;
    if (request->ofsFilename && request->ofsFilename < copy.cbData) {
        const char* name = static_cast<const char*>(copy.lpData) + request->ofsFilename;
        file.assign(name, strnlen(name, copy.cbData - request->ofsFilename));
    }
    std::fprintf(logFile, "HELP command=%x data=%lx file=%s\n", request->command,
                 static_cast<unsigned long>(request->data), file.c_str());
    std::fflush(logFile);
}

// What Wine's shell passes its notification area; the record starts with these fields.
struct IconRequest {
    LONG window;
    UINT id;
    UINT flags;
    UINT callback;
};

bool acceptIcons;

void LogIconRequest(const COPYDATASTRUCT& copy) {
    const auto* request = static_cast<const IconRequest*>(copy.lpData);
    if (copy.cbData < sizeof *request) return;
    std::fprintf(logFile, "ICON message=%lx window=%08lx id=%x flags=%x callback=%x\n",
                 static_cast<unsigned long>(copy.dwData), static_cast<unsigned long>(request->window), request->id,
                 request->flags, request->callback);
    std::fflush(logFile);
}

LRESULT CALLBACK HelpEngineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        LogHelpRequest(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The shell's icon requests arrive as WM_COPYDATA; the answer is the request's result.
LRESULT CALLBACK NotificationAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        LogIconRequest(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return acceptIcons;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateStandIn(const wchar_t* className, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    // Never shown. The shell talks to the first window of the class in the z-order; a topmost
    // window stays ahead of the shell's own, whatever the shell raises later.
    return CreateWindowExW(WS_EX_TOPMOST, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

// Appends the arguments to the log, one a line.
int LogArguments(const wchar_t* logPath, int count, wchar_t** arguments) {
    FILE* log = _wfopen(logPath, L"ab");
    if (!log) return 2;
    for (int i = 0; i < count; ++i) {
        char utf8[4096];
        const int length = WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, utf8, sizeof utf8, nullptr, nullptr);
        std::fprintf(log, "ARGUMENT %s\n", length > 0 ? utf8 : "?");
    }
    std::fclose(log);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring role = argc > 1 ? argv[1] : L"";
    if (role == L"browser" && argc >= 3) return LogArguments(argv[2], argc - 3, argv + 3);
    const std::wstring answer = argc > 2 ? argv[2] : L"";
    const bool help = role == L"help" && argc == 3;
    const bool tray = role == L"tray" && argc == 4 && (answer == L"accept" || answer == L"refuse");
    if (!help && !tray) {
        std::fputs("usage: see the head of StandIn.cpp\n", stderr);
        return 2;
    }
    logFile = _wfopen(argv[argc - 1], L"w");
    if (!logFile) return 2;
    acceptIcons = answer == L"accept";
    HWND window = help ? CreateStandIn(L"MS_WINHELP", HelpEngineProc)
                       : CreateStandIn(L"Shell_TrayWnd", NotificationAreaProc);
    if (!window) return 1;
    std::fputs("READY\n", logFile);
    std::fflush(logFile);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
