// Start-up: the settings window runs as a modal dialog, and the program ends with it.
#include "app/windows/SerialKeyApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/PortList.h"
#include "app/windows/SerialInput.h"
#include "app/windows/SerialKeyDlg.h"
#include "serial/windows/SerialDeviceMap.h"

namespace {

CSerialKeyApp theApp;

// The exit code after a refused command line, as command-line tools end on a usage error.
constexpr int ExitBadArguments = 2;

// The arguments after the program's own name.
std::vector<std::wstring> ProgramArguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return {};
    std::vector<std::wstring> arguments(argv + std::min(count, 1), argv + count);
    LocalFree(argv);
    return arguments;
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

    SettingsLists lists = CSerialKeyDlg::OfferedLists();
    // The ports above COM9 that the system has now can be chosen too, as in the window.
    lists.ports = OfferedPorts(lists.ports, SerialPortsInDeviceMap());
    const CommandLine commandLine = ParseCommandLine(ProgramArguments(), lists);
    switch (commandLine.action) {
        case CommandLine::ShowUsage:
            MessageBoxW(nullptr, UsageText(m_strAppName, lists).c_str(), m_strAppName.c_str(),
                        MB_OK | MB_ICONINFORMATION);
            return FALSE;
        case CommandLine::Refuse:
            // Nothing starts: a half-configured station would type at the wrong settings unseen.
            MessageBoxW(nullptr, RefusalText(commandLine, m_strAppName, lists).c_str(), m_strAppName.c_str(),
                        MB_OK | MB_ICONHAND);
            m_nExitCode = ExitBadArguments;
            return FALSE;
        case CommandLine::Start:
            break;
    }

    SetUpTyping(commandLine.start);

    CSerialKeyDlg dlg(commandLine.start);
    m_pMainWnd = &dlg;
    if (dlg.DoModal() == -1) {
        MessageBoxW(nullptr, L"The settings window could not be created, so the program ends.", m_strAppName.c_str(),
                    MB_OK | MB_ICONHAND);
    }
    return FALSE;
}

int CSerialKeyApp::ExitInstance() { return m_nExitCode; }
