// Start-up of the program through its application object, and the Help command.
#include "app/framework/windows/WinApp.h"

#include "app/framework/ModulePath.h"
#include "app/framework/windows/Wnd.h"

namespace {

CWinApp* theApplication = nullptr;

std::wstring ModuleFileName(HINSTANCE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: a long path
    }
}

}  // namespace

CWinApp::CWinApp() { theApplication = this; }

CWinApp* AfxGetApp() { return theApplication; }

HINSTANCE AfxGetInstanceHandle() { return theApplication->m_hInstance; }

void CWinApp::OnHelp() {
    DWORD context = 0;
    for (HWND window = GetFocus(); window && context == 0; window = GetParent(window))
        context = static_cast<DWORD>(SendMessageW(window, WM_COMMANDHELP, 0, 0));
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (!WinHelpW(owner, m_strHelpFilePath.c_str(), HELP_CONTEXT, context))
        MessageBoxW(owner, L"Help could not be started.", m_strAppName.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CWinApp* app = AfxGetApp();
    app->m_hInstance = instance;
    const std::wstring path = ModuleFileName(instance);
    app->m_strAppName = ApplicationNameFromPath(path);
    app->m_strHelpFilePath = HelpFilePathFromPath(path);
    // The program has run by the time InitInstance returns; no message loop follows.
    app->InitInstance();
    return app->ExitInstance();
}
