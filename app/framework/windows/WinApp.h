// The application object: the one object that runs the program from start-up to its end.
#pragma once

#include <windows.h>

#include <string>

#include "app/framework/windows/MessageMap.h"

class CWnd;

// The Help command: what a window sends its program's main window when the user asks for help (F1).
constexpr UINT ID_HELP = 0xE146;
// Asks a window for the help context of what it shows; 0 means that it has none.
constexpr UINT WM_COMMANDHELP = 0x0365;

class CWinApp : public CMessageTarget {
public:
    // Registers the one application object, which start-up (wWinMain) runs.
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's work. A program that lives in a modal dialog does everything here and answers
    // FALSE: the process then ends, with no message loop after it.
    virtual BOOL InitInstance() = 0;
    // Runs once InitInstance has answered FALSE; its answer is the process's exit code.
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance = nullptr;
    // The executable's file name without directory and extension; the caption of message boxes.
    std::wstring m_strAppName;
    // The executable's path with the extension ".HLP".
    std::wstring m_strHelpFilePath;
    // The executable's path with the extension ".html": the help page, where the program has one.
    std::wstring m_strHelpPagePath;
    // The window that the program runs in; cleared when that window is destroyed.
    CWnd* m_pMainWnd = nullptr;

protected:
    // Shows the help topic of the focused window, or of the nearest window above it that names one:
    // in the help page beside the program if there is one, else from the help file.
    void OnHelp();
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
