// Start-up: the process runs the program's one application object.
#include <windows.h>

#include <string>

#include "app/framework/ModulePath.h"
#include "app/framework/windows/WinApp.h"

namespace {

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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CWinApp* app = AfxGetApp();
    app->m_hInstance = instance;
    const std::wstring path = ModuleFileName(instance);
    app->m_strAppName = ApplicationNameFromPath(path);
    app->m_strHelpFilePath = HelpFilePathFromPath(path);
    app->m_strHelpPagePath = HelpPagePathFromPath(path);
    // The program has run by the time InitInstance returns; no message loop follows.
    app->InitInstance();
    return app->ExitInstance();
}
