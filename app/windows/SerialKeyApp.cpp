// Start-up: the settings window runs as a modal dialog, and the program ends with it.
#include "app/windows/SerialKeyApp.h"

#include <commctrl.h>

#include <iterator>

#include "app/windows/SerialKeyDlg.h"

namespace {

CSerialKeyApp theApp;

}  // namespace

const MessageMap* CSerialKeyApp::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnCommand<&CSerialKeyApp::OnHelp>(ID_HELP),
    };
    static const MessageMap map{CWinApp::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CSerialKeyApp::InitInstance() {
    // The lists are extended combo boxes: their window class must exist before the window does.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);

    CSerialKeyDlg dlg;
    m_pMainWnd = &dlg;
    if (dlg.DoModal() == -1) {
        MessageBoxW(nullptr, L"The settings window could not be created, so the program ends.", m_strAppName.c_str(),
                    MB_OK | MB_ICONHAND);
    }
    return FALSE;
}
