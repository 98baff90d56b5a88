// The program's icon in the notification area: added or changed with its tip, removed at the end.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/NotificationTip.h"

// The message that the shell sends for mouse events over the icon, with the mouse message in
// lParam; the icon's identifier is the same number.
constexpr UINT WM_TRAYNOTIFY = 0x8065;

// Hands the shell `dwMessage` (NIM_ADD, NIM_MODIFY) for icon `uID` of `hWnd`, with the callback
// WM_TRAYNOTIFY, the tip (NotificationTip: "Serial to Keyboard" unless a port waits for its device)
// and `hIcon`, which it destroys whatever the shell answers: the shell keeps its own copy. Answers
// the shell's result, nonzero for success.
BOOL AddNotificationIcon(HWND hWnd, UINT uID, DWORD dwMessage, HICON hIcon, const std::wstring& tip);

// Takes icon `uID` of `hWnd` out of the notification area.
BOOL RemoveNotificationIcon(HWND hWnd, UINT uID);
