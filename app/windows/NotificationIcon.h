// The program's icon in the notification area: added or changed with its tip, removed at the end.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/NotificationTip.h"

// The message that the shell sends for mouse events over the icon, with the mouse message in
// lParam.
constexpr UINT WM_TRAYNOTIFY = 0x8065;
// The identifier of the program's one icon among the icons of its window. The same number as
// the message, as it has always been: a shell that kept the icon knows it by this.
constexpr UINT NotificationIconId = 0x8065;

// Puts `hWnd`'s icon into the notification area, with the callback WM_TRAYNOTIFY, the tip
// (NotificationTip: "Serial to Keyboard" unless a port waits for its device) and `hIcon`, which it
// destroys whatever the shell answers: the shell keeps its own copy. Answers the shell's result,
// nonzero for success.
BOOL AddNotificationIcon(HWND hWnd, HICON hIcon, const std::wstring& tip);
// The same for the icon that is there already: gives it `hIcon` and the tip. Fails where the
// shell has no such icon, one it never took or has lost.
BOOL ModifyNotificationIcon(HWND hWnd, HICON hIcon, const std::wstring& tip);

// Takes `hWnd`'s icon out of the notification area.
BOOL RemoveNotificationIcon(HWND hWnd);
