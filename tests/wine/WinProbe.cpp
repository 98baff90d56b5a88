// Test driver: looks at and drives other programs' windows from outside. It runs for as long as a
// test needs it and answers questions on its standard input, one a line, the words separated by tabs
// (a title may hold spaces); it ends at the end of its input.
//
//   window TITLE               hwnd, visible, foreground, process, style, exstyle,
//                              rect (left top right bottom), xwindow (Wine's X window)
//   idle TITLE                 waits until the window's program is idle for input
//   controls TITLE             one line per child: id, class, style, exstyle, text
//   taborder TITLE             control ids in keyboard tab order from the first
//   focus TITLE                the id of the control that has the keyboard focus
//   defid TITLE                the id of the default push button
//   items TITLE ID             a ComboBoxEx's items, then "selected N"
//   select TITLE ID INDEX      selects an item of a ComboBoxEx
//   rect TITLE [ID]            rectangle of the window, or of a control, in screen
//                              coordinates; for the window also its monitor's work area
//   click TITLE ID             posts a button click, without waiting for its handler
//   press TITLE ID TIMES       sends TIMES button clicks in a row, each as soon as the
//                              handler of the one before has returned
//   post TITLE MSG WPARAM LPARAM   posts any message (numbers in decimal or 0x hex)
//   send TITLE MSG WPARAM LPARAM   sends any message and prints the result (hex)
//   messagebox OWNER-TITLE     the message box owned by that window: visible, caption, text,
//                              buttons, icon
//   show TITLE                 shows the window and brings it to the front
//   removeicon TITLE ID        takes the window's icon ID out of the notification area
//   broadcast NAME             posts the registered message NAME to every top-level window
//   tooltip                    the text of the tooltip on the screen
//   keysdown                   the virtual keys that are down for the whole system (hex)
//   key VK down|up             presses or releases a key as another program would, "the user"
//   foreground                 the window in front: its title, then its handle, class and
//                              process; "none" when no window is in front
//   childtext TITLE CLASS      the text of the window's first child of that class, read
//                              with WM_GETTEXT, as UTF-16 units in hex
//
// Windows are found by their exact title. Every answer ends with a line of the record separator
// (0x1E, which no window text holds) and the answer's status: 0, 1 for no such window, control or
// tooltip, 2 for a question it does not know. Before the first question an empty answer says that
// the probe is ready. By hand: printf 'window\tUntitled - Notepad\n' | wine WinProbe.exe
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

namespace {

void PrintUtf8(const wchar_t* text) {
    char utf8[4096];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::fputs(utf8, stdout);
}

std::wstring Text(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

// What a question asks for is not there; the answer says what, with status 1.
struct Missing {
    const char* what;
};

HWND FindTopLevel(const std::wstring& title) {
    HWND window = FindWindowW(nullptr, title.c_str());
    if (!window) throw Missing{"no window"};
    return window;
}

HWND Control(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) throw Missing{"no control"};
    return control;
}

long Number(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 0); }

void PrintRect(const char* name, const RECT& r) {
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
}

// ComboBoxEx items live in the other process: the record and its text buffer must too.
int ListItems(HWND comboEx) {
    DWORD processId = 0;
    GetWindowThreadProcessId(comboEx, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return 1;
    const SIZE_T textChars = 256;
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(COMBOBOXEXITEMW) + textChars * 2,
                                                     MEM_COMMIT, PAGE_READWRITE));
    const int count = int(SendMessageW(comboEx, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
        item.cchTextMax = textChars;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageW(comboEx, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
        wchar_t text[textChars] = L"";
        ReadProcessMemory(process, item.pszText, text, sizeof text - 2, nullptr);
        std::fputs("item ", stdout);
        PrintUtf8(text);
        std::fputs("\n", stdout);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    std::printf("selected %d\n", int(SendMessageW(comboEx, CB_GETCURSEL, 0, 0)));
    return 0;
}

// Icon handles belong to their process, so the icon is recognised by its pixels on the screen:
// the standard icon that, drawn on the same background, differs from them in the fewest pixels.
const char* StandardIconShownBy(HWND iconControl) {
    RECT rect;
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC shown = CreateCompatibleDC(screen), drawn = CreateCompatibleDC(screen);
    HBITMAP shownBitmap = CreateCompatibleBitmap(screen, width, height);
    HBITMAP drawnBitmap = CreateCompatibleBitmap(screen, width, height);
    SelectObject(shown, shownBitmap);
    SelectObject(drawn, drawnBitmap);
    BitBlt(shown, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);

    const struct {
        const char* name;
        LPCWSTR id;
    } candidates[] = {{"hand", IDI_HAND}, {"exclamation", IDI_EXCLAMATION}, {"asterisk", IDI_ASTERISK},
                      {"question", IDI_QUESTION}};
    const char* best = "none";
    long fewest = long(width) * height / 4;  // more differences than this: no standard icon
    for (const auto& candidate : candidates) {
        HBRUSH background = CreateSolidBrush(GetPixel(shown, 0, 0));
        RECT all{0, 0, width, height};
        FillRect(drawn, &all, background);
        DeleteObject(background);
        DrawIconEx(drawn, 0, 0, LoadIconW(nullptr, candidate.id), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
        long differences = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) differences += GetPixel(shown, x, y) != GetPixel(drawn, x, y);
        if (differences < fewest) {
            fewest = differences;
            best = candidate.name;
        }
    }
    DeleteDC(shown);
    DeleteDC(drawn);
    DeleteObject(shownBitmap);
    DeleteObject(drawnBitmap);
    ReleaseDC(nullptr, screen);
    return best;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && ClassOf(window) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int DescribeMessageBox(HWND owner) {
    OwnedSearch search{owner, nullptr};
    EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        std::fputs("no message box\n", stdout);
        return 1;
    }
    std::printf("hwnd %p\nvisible %d\ncaption ", static_cast<void*>(search.found),
                IsWindowVisible(search.found) ? 1 : 0);
    PrintUtf8(Text(search.found).c_str());
    std::fputs("\n", stdout);
    for (HWND child = GetWindow(search.found, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring kind = ClassOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (kind == L"Button") {
            std::printf("button %d ", GetDlgCtrlID(child));
            PrintUtf8(Text(child).c_str());
            std::fputs("\n", stdout);
        } else if (kind == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
            std::printf("icon %s\n", StandardIconShownBy(child));
        } else if (kind == L"Static" && !Text(child).empty()) {
            std::fputs("text ", stdout);
            PrintUtf8(Text(child).c_str());
            std::fputs("\n", stdout);
        }
    }
    return 0;
}

BOOL CALLBACK FindVisibleTooltip(HWND window, LPARAM param) {
    if (ClassOf(window) == TOOLTIPS_CLASSW && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// TTTOOLINFOW as a 64-bit process lays it out. The notification area's tooltips belong to
// explorer, which is a 64-bit process in a 64-bit prefix and a 32-bit one in a 32-bit prefix.
struct ToolInfo64 {
    UINT cbSize;
    UINT uFlags;
    UINT64 hwnd;
    UINT64 uId;
    RECT rect;
    UINT64 hinst;
    UINT64 lpszText;
    UINT64 lParam;
    UINT64 lpReserved;
};
static_assert(sizeof(ToolInfo64) == 72, "the 64-bit layout");

// A process has 32-bit pointers if it runs under WoW64, or if the whole system is 32-bit.
bool Is32BitProcess(HANDLE process) {
    BOOL wow64 = FALSE;
    if (IsWow64Process(process, &wow64) && wow64) return true;
    BOOL probeUnderWow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &probeUnderWow64);
    return sizeof(void*) == 4 && !probeUnderWow64;
}

// The tooltip's one tool, read through a record and a text buffer in the tooltip's process,
// like a ComboBoxEx item.
int DescribeTooltip() {
    HWND tooltip = nullptr;
    EnumWindows(FindVisibleTooltip, reinterpret_cast<LPARAM>(&tooltip));
    if (!tooltip) {
        std::fputs("no tooltip\n", stdout);
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(tooltip, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                 PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return 1;
    const bool targetIs32Bit = Is32BitProcess(process);
    const SIZE_T textChars = 256;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(ToolInfo64) + textChars * 2, MEM_COMMIT, PAGE_READWRITE));
    wchar_t* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(ToolInfo64));
    if (targetIs32Bit) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = remoteText;
        WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
    } else {
        ToolInfo64 tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = reinterpret_cast<UINT_PTR>(remoteText);
        WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
    }
    wchar_t text[textChars] = L"";
    // The text is copied into the buffer that the record names.
    if (SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote)))
        ReadProcessMemory(process, remoteText, text, sizeof text - 2, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    PrintUtf8(text);
    std::fputs("\n", stdout);
    return 0;
}

// One question's answer, printed; returns its status.
int Answer(const std::vector<std::wstring>& words) {
    const size_t count = words.size();
    const std::wstring command = count > 0 ? words[0] : L"";
    if (command == L"tooltip") return DescribeTooltip();
    if (command == L"keysdown") {
        for (int key = 1; key < 256; ++key)
            if (GetAsyncKeyState(key) & 0x8000) std::printf("%02x\n", key);
        return 0;
    }
    if (command == L"key" && count == 3) {
        const auto key = static_cast<BYTE>(Number(words[1]));
        const auto scanCode = static_cast<BYTE>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        keybd_event(key, scanCode, words[2] == L"up" ? KEYEVENTF_KEYUP : 0, 0);
        return 0;
    }
    if (command == L"foreground") {
        HWND front = GetForegroundWindow();
        if (!front) {
            std::fputs("none\n", stdout);
            return 0;
        }
        PrintUtf8(Text(front).c_str());
        DWORD processId = 0;
        GetWindowThreadProcessId(front, &processId);
        std::printf("\n%p ", static_cast<void*>(front));
        PrintUtf8(ClassOf(front).c_str());
        std::printf(" %lu\n", processId);
        return 0;
    }
    if (command == L"broadcast" && count == 2) {
        PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(words[1].c_str()), 0, 0);
        return 0;
    }
    if (count < 2) {
        std::fputs("usage: see the head of WinProbe.cpp\n", stdout);
        return 2;
    }
    HWND window = FindTopLevel(words[1]);

    if (command == L"window") {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        RECT rect{};
        GetWindowRect(window, &rect);
        std::printf("hwnd %p\nvisible %d\nforeground %d\nprocess %lu\n", static_cast<void*>(window),
                    IsWindowVisible(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0, processId);
        std::printf("style %08lx\nexstyle %08lx\nrect %ld %ld %ld %ld\n", GetWindowLongW(window, GWL_STYLE),
                    GetWindowLongW(window, GWL_EXSTYLE), rect.left, rect.top, rect.right, rect.bottom);
        // Wine's own record of the X window that shows it.
        std::printf("xwindow %lu\n", static_cast<unsigned long>(
                                         reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"))));
    } else if (command == L"idle") {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
        const DWORD result = WaitForInputIdle(process, 30000);
        CloseHandle(process);
        return result == 0 ? 0 : 1;
    } else if (command == L"controls") {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            std::printf("%d ", GetDlgCtrlID(child));
            PrintUtf8(ClassOf(child).c_str());
            std::printf(" %08lx %08lx ", GetWindowLongW(child, GWL_STYLE), GetWindowLongW(child, GWL_EXSTYLE));
            PrintUtf8(Text(child).c_str());
            std::fputs("\n", stdout);
        }
    } else if (command == L"childtext" && count == 3) {
        // Another process's control answers GetWindowText with "", but WM_GETTEXT with its text.
        HWND child = FindWindowExW(window, nullptr, words[2].c_str(), nullptr);
        if (!child) {
            std::fputs("no control\n", stdout);
            return 1;
        }
        static wchar_t text[65536];
        const LRESULT length = SendMessageW(child, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(text));
        for (LRESULT i = 0; i < length; ++i) std::printf("%04x", unsigned(text[i]));
        std::fputs("\n", stdout);
    } else if (command == L"taborder") {
        HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
        HWND control = first;
        do {
            std::printf("%d\n", GetDlgCtrlID(control));
            control = GetNextDlgTabItem(window, control, FALSE);
        } while (control && control != first);
    } else if (command == L"focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        // A ComboBoxEx's focus sits on its inner combo box: report the control itself.
        HWND focus = info.hwndFocus;
        while (focus && GetParent(focus) != window) focus = GetParent(focus);
        std::printf("%d\n", focus ? GetDlgCtrlID(focus) : 0);
    } else if (command == L"defid") {
        std::printf("%d\n", LOWORD(SendMessageW(window, DM_GETDEFID, 0, 0)));
    } else if (command == L"items" && count == 3) {
        return ListItems(Control(window, int(Number(words[2]))));
    } else if (command == L"select" && count == 4) {
        SendMessageW(Control(window, int(Number(words[2]))), CB_SETCURSEL, Number(words[3]), 0);
    } else if (command == L"rect" && count == 3) {
        RECT rect{};
        GetWindowRect(Control(window, int(Number(words[2]))), &rect);
        PrintRect("rect", rect);
    } else if (command == L"rect") {
        RECT rect{};
        GetWindowRect(window, &rect);
        PrintRect("rect", rect);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        PrintRect("workarea", monitor.rcWork);
    } else if (command == L"click" && count == 3) {
        const int id = int(Number(words[2]));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(window, id)));
    } else if (command == L"press" && count == 4) {
        const int id = int(Number(words[2]));
        for (long times = Number(words[3]); times > 0; --times) {
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(Control(window, id)));
        }
    } else if (command == L"post" && count == 5) {
        PostMessageW(window, UINT(Number(words[2])), WPARAM(Number(words[3])), LPARAM(Number(words[4])));
    } else if (command == L"send" && count == 5) {
        const LRESULT result = SendMessageW(window, UINT(Number(words[2])), WPARAM(Number(words[3])), LPARAM(Number(words[4])));
        std::printf("%lx\n", static_cast<unsigned long>(result));
    } else if (command == L"show") {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    } else if (command == L"messagebox") {
        return DescribeMessageBox(window);
    } else if (command == L"removeicon" && count == 3) {
        NOTIFYICONDATAW icon{};
        icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
        icon.hWnd = window;
        icon.uID = UINT(Number(words[2]));
        return Shell_NotifyIconW(NIM_DELETE, &icon) ? 0 : 1;
    } else {
        std::fputs("unknown command\n", stdout);
        return 2;
    }
    return 0;
}

// The words of the next question, split at tabs; false at the end of the input.
bool ReadQuestion(std::vector<std::wstring>& words) {
    char line[8192];
    if (!std::fgets(line, sizeof line, stdin)) return false;
    line[std::strcspn(line, "\r\n")] = '\0';
    wchar_t wide[8192];
    MultiByteToWideChar(CP_UTF8, 0, line, -1, wide, 8192);
    words.clear();
    std::wistringstream stream(wide);
    for (std::wstring word; std::getline(stream, word, L'\t');) words.push_back(word);
    return true;
}

void EndAnswer(int status) {
    std::printf("\x1e%d\n", status);
    std::fflush(stdout);
}

}  // namespace

int main() {
    EndAnswer(0);  // ready
    for (std::vector<std::wstring> words; ReadQuestion(words);) {
        int status;
        try {
            status = Answer(words);
        } catch (const Missing& missing) {
            std::printf("%s\n", missing.what);
            status = 1;
        }
        EndAnswer(status);
    }
    return 0;
}
