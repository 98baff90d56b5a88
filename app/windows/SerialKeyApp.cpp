// Start-up: the settings window runs as a modal dialog, and the program ends with it.
#include "app/windows/SerialKeyApp.h"

#include <commctrl.h>

#include <cstdlib>
#include <iterator>

#include "app/windows/SerialInput.h"
#include "app/windows/SerialKeyDlg.h"

namespace {

CSerialKeyApp theApp;

// True when the command line names `option`, in any case: "SerialKey.exe /KEYS".
bool HasOption(const char* option) {
    for (int i = 1; i < __argc; ++i)
        if (lstrcmpiA(__argv[i], option) == 0) return true;
    return false;
}

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

    // /keys: the key table's keys on every layout, for programs that read keys, not characters.
    if (HasOption("/keys")) TypeKeyTable();

    CSerialKeyDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
