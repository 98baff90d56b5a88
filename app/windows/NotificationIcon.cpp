// The notification-area icon through the shell's wide-character interface.
#include "app/windows/NotificationIcon.h"

namespace {

// The record's first form: its fields end with a tip of 64 characters, the last one its zero.
constexpr int TipLength = 64;

NOTIFYICONDATAW IconRecord(HWND hWnd, UINT uID) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = hWnd;
    record.uID = uID;
    return record;
}

}  // namespace

BOOL AddNotificationIcon(HWND hWnd, UINT uID, DWORD dwMessage, HICON hIcon, const std::wstring& tip) {
    NOTIFYICONDATAW record = IconRecord(hWnd, uID);
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = hIcon;
    lstrcpynW(record.szTip, tip.c_str(), TipLength);

    const BOOL answer = Shell_NotifyIconW(dwMessage, &record);
    if (hIcon) DestroyIcon(hIcon);
    return answer;
}

BOOL RemoveNotificationIcon(HWND hWnd, UINT uID) {
    NOTIFYICONDATAW record = IconRecord(hWnd, uID);
    return Shell_NotifyIconW(NIM_DELETE, &record);
}
