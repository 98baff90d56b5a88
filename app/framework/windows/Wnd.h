// The window base: what the framework and the application object know of any window.
#pragma once

#include <windows.h>

#include "app/framework/windows/MessageMap.h"

class CWnd : public CMessageTarget {
public:
    // The window while it exists; null before it is created and once it is destroyed.
    HWND m_hWnd = nullptr;
};
