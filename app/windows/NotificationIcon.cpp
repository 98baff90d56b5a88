// The notification-area icon through the shell's wide-character interface.
#include "app/windows/NotificationIcon.h"

#include "keys/windows/SystemError.h"

namespace {

// The record's second form (Windows 2000 on): its tip holds 128 characters, the last one its zero.
constexpr int TipLength = 128;

NOTIFYICONDATAW IconRecord(HWND hWnd) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = hWnd;
    record.uID = NotificationIconId;
    return record;
}

// The program goes on when the shell refuses: the window's callers decide what a refusal means.
BOOL TellShell(DWORD dwMessage, NOTIFYICONDATAW& record, const wchar_t* what) {
    const BOOL answer = Shell_NotifyIconW(dwMessage, &record);
    if (!answer) TraceFailedCall(what);
    return answer;
}

BOOL ShowIcon(DWORD dwMessage, const wchar_t* what, HWND hWnd, HICON hIcon, const std::wstring& tip) {
    NOTIFYICONDATAW record = IconRecord(hWnd);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = hIcon;
    lstrcpynW(record.szTip, tip.c_str(), TipLength);

    const BOOL answer = TellShell(dwMessage, record, what);
    if (hIcon) DestroyIcon(hIcon);
    return answer;
}

}  // namespace

BOOL AddNotificationIcon(HWND hWnd, HICON hIcon, const std::wstring& tip) {
    return ShowIcon(NIM_ADD, L"Shell_NotifyIcon(NIM_ADD)", hWnd, hIcon, tip);
}

BOOL ModifyNotificationIcon(HWND hWnd, HICON hIcon, const std::wstring& tip) {
    return ShowIcon(NIM_MODIFY, L"Shell_NotifyIcon(NIM_MODIFY)", hWnd, hIcon, tip);
}

BOOL RemoveNotificationIcon(HWND hWnd) {
    NOTIFYICONDATAW record = IconRecord(hWnd);
    return TellShell(NIM_DELETE, record, L"Shell_NotifyIcon(NIM_DELETE)");
}
