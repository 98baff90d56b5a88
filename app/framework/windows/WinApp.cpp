// The application object: the one instance that the program registers, and the Help command.
#include "app/framework/windows/WinApp.h"

#include "app/framework/HelpPage.h"
#include "app/framework/windows/WebBrowser.h"
#include "app/framework/windows/Wnd.h"

namespace {

CWinApp* theApplication = nullptr;

}  // namespace

CWinApp::CWinApp() { theApplication = this; }

CWinApp* AfxGetApp() { return theApplication; }

HINSTANCE AfxGetInstanceHandle() { return theApplication->m_hInstance; }

void CWinApp::OnHelp() {
    DWORD context = 0;
    for (HWND window = GetFocus(); window && context == 0; window = GetParent(window))
        context = static_cast<DWORD>(SendMessageW(window, WM_COMMANDHELP, 0, 0));
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    // WinHelp files no longer open on current Windows; a web page opens in any browser.
    const bool hasHelpPage = GetFileAttributesW(m_strHelpPagePath.c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool shown = hasHelpPage ? OpenInWebBrowser(FileUrl(m_strHelpPagePath, HelpTopicFragment(context)))
                                   : WinHelpW(owner, m_strHelpFilePath.c_str(), HELP_CONTEXT, context);
    if (!shown)
        MessageBoxW(owner, L"Help could not be started.", m_strAppName.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
