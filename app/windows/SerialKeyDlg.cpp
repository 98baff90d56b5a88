// The settings window: its lists, defaults, icons and data exchange, its commands, the
// notification-area icon that brings it back, and the About item of its system menu.
#include "app/windows/SerialKeyDlg.h"

#include <iterator>
#include <string>
#include <utility>

#include <dbt.h>

#include "app/MinimizedIcon.h"
#include "app/PortList.h"
#include "app/framework/windows/WinApp.h"
#include "app/windows/AboutDlg.h"
#include "app/windows/ListItems.h"
#include "app/windows/NotificationIcon.h"
#include "app/windows/SerialInput.h"
#include "keys/windows/SystemError.h"
#include "res/resource.h"
#include "serial/windows/SerialDeviceMap.h"

namespace {

// Posted by the status notice, from whichever thread saw the typing held back or let go.
constexpr UINT WM_STATUSCHANGE = WM_APP + 1;

HICON LoadSmallAppIcon() {
    return static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16,
                                         LR_DEFAULTCOLOR));
}

CWinThread* BeginReaderThread(CSerialKeyDlg* window) {
    // Suspended: the reader runs only from the first Open on.
    return AfxBeginThread(ReaderThreadProc, window, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
}

CWinThread* BeginTypingThread(CSerialKeyDlg* window) {
    // It waits for the reader's bytes without using the processor.
    return AfxBeginThread(TypingThreadProc, window, THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
}

// Losses go to the debug output as they grow, so that a support call can find when and how many.
void TraceLosses(const TipStatus& before, const TipStatus& now) {
    if (now.lostBytes > before.lostBytes) {
        const std::wstring text = L"SerialKey: " + std::to_wstring(now.lostBytes) +
                                  L" received bytes lost since Open: the typing waited longer than its queue "
                                  L"holds\n";
        OutputDebugStringW(text.c_str());
    }
    if (now.driverOverruns > before.driverOverruns) {
        const std::wstring text = L"SerialKey: the serial driver lost received bytes before they were read (" +
                                  std::to_wstring(now.driverOverruns) + L" times since Open)\n";
        OutputDebugStringW(text.c_str());
    }
}

}  // namespace

CSerialKeyDlg::CSerialKeyDlg(const StartOptions& start, CDialog* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_start(start),
      m_nBaudIndex(start.settings.baudIndex),
      m_nDataBitsIndex(start.settings.dataBitsIndex),
      m_nParityIndex(start.settings.parityIndex),
      m_nStopBitsIndex(start.settings.stopBitsIndex),
      m_nPortIndex(-1),  // chosen once the list is filled
      m_hAppIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

SettingsLists CSerialKeyDlg::OfferedLists() {
    const std::pair<int, std::vector<std::wstring> SettingsLists::*> listOf[] = {
        {IDC_PORT, &SettingsLists::ports},         {IDC_BAUD, &SettingsLists::bauds},
        {IDC_DATABITS, &SettingsLists::dataBits},  {IDC_PARITY, &SettingsLists::parities},
        {IDC_STOPBITS, &SettingsLists::stopBits},
    };
    SettingsLists lists;
    for (const DialogListItem& item : LoadDialogListItems(IDD_MAIN).value_or(std::vector<DialogListItem>{}))
        for (const auto& [controlId, list] : listOf)
            if (item.controlId == controlId) (lists.*list).push_back(item.text);
    return lists;
}

const MessageMap* CSerialKeyDlg::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnMessage<&CSerialKeyDlg::OnSysCommand>(WM_SYSCOMMAND),
        OnMessage<&CSerialKeyDlg::OnPaint>(WM_PAINT),
        OnMessage<&CSerialKeyDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnCommand<&CSerialKeyDlg::OnOpen>(IDC_OPEN),
        OnCommand<&CSerialKeyDlg::OnOK>(IDOK),
        OnCommand<&CSerialKeyDlg::OnCancel>(IDCANCEL),
        OnMessage<&CSerialKeyDlg::OnEndSession>(WM_ENDSESSION),
        OnMessage<&CSerialKeyDlg::OnDestroy>(WM_DESTROY),
        OnMessage<&CSerialKeyDlg::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
        OnMessage<&CSerialKeyDlg::OnShowWindow>(WM_SHOWWINDOW),
        OnMessage<&CSerialKeyDlg::OnDeviceChange>(WM_DEVICECHANGE),
        OnMessage<&CSerialKeyDlg::OnPowerBroadcast>(WM_POWERBROADCAST),
        OnMessage<&CSerialKeyDlg::OnStatusChange>(WM_STATUSCHANGE),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

void CSerialKeyDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_CBIndex(pDX, IDC_BAUD, m_nBaudIndex);
    DDX_CBIndex(pDX, IDC_DATABITS, m_nDataBitsIndex);
    DDX_CBIndex(pDX, IDC_PARITY, m_nParityIndex);
    DDX_CBIndex(pDX, IDC_STOPBITS, m_nStopBitsIndex);
    DDX_CBIndex(pDX, IDC_PORT, m_nPortIndex);
}

LRESULT CSerialKeyDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Open, whatever its notification code.
    const bool open = message == WM_COMMAND && LOWORD(wParam) == IDC_OPEN;
    TypingGate& typing = TheSerialInput().typing;
    if (open) {
        // Hiding hands the focus to another window before Open has dropped what was held for this
        // one: nothing is typed until Open is done.
        typing.Hold();
        // Without an icon to bring it back, the window stays.
        if (EnsureNotificationIcon()) ShowWindow(m_hWnd, SW_HIDE);
    }

    if (message == WM_TRAYNOTIFY && (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)) {
        // As for Open: no piece of strokes that has passed its look at the window in front may
        // land in this one once it is in front.
        typing.Hold();
        m_bKeepHidden = false;
        ShowWindow(m_hWnd, SW_SHOW);
        SetForegroundWindow(m_hWnd);
        typing.Release();
    }

    // A restarted shell announces its new taskbar, which knows none of the old icons. If it takes
    // the icon no more, a hidden window comes back, without taking the focus from the user's work.
    static const UINT WM_TASKBARCREATED = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == WM_TASKBARCREATED && !ShowIcon(AddNotificationIcon) && !IsWindowVisible(m_hWnd))
        ShowWindow(m_hWnd, SW_SHOWNA);

    const LRESULT result = CDialog::WindowProc(message, wParam, lParam);
    if (open) typing.Release();
    return result;
}

BOOL CSerialKeyDlg::OnInitDialog() {
    // The lists could not be filled and the run is ending: nothing is started for it.
    if (!CDialog::OnInitDialog()) return FALSE;

    AppendAboutItem();

    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hAppIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hAppIcon));

    HWND portList = GetDlgItem(m_hWnd, IDC_PORT);
    m_listedPorts = ListItems(portList);
    const std::int32_t startPort = m_start.settings.portIndex;
    if (!m_start.port.empty())
        m_strChosenPort = m_start.port;
    else if (startPort >= 0 && static_cast<std::size_t>(startPort) < m_listedPorts.size())
        m_strChosenPort = m_listedPorts[startPort];
    RefreshPortList();
    m_nPortIndex = static_cast<int>(SendMessageW(portList, CB_GETCURSEL, 0, 0));
    UpdateData(FALSE);
    TheSerialInput().status.Attach(m_hWnd, WM_STATUSCHANGE);

    m_pReaderThread = BeginReaderThread(this);
    m_pTypingThread = BeginTypingThread(this);

    const bool iconAdded = ShowIcon(AddNotificationIcon);
    if (!m_start.open) return TRUE;  // the focus goes to the first tab stop, Open

    // Open as if pressed, once the run has begun. The window stays off the screen only while the
    // icon is there to call it back.
    m_bKeepHidden = iconAdded;
    m_bOpeningAtStart = true;
    PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_OPEN, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_hWnd, IDC_OPEN)));
    // A window off the screen takes no focus: the keys typed go to the window in front.
    return !m_bKeepHidden;
}

void CSerialKeyDlg::AppendAboutItem() {
    HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    if (!systemMenu) return;
    wchar_t text[256];
    if (LoadStringW(AfxGetInstanceHandle(), IDS_ABOUTBOX, text, static_cast<int>(std::size(text))) == 0) return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

void CSerialKeyDlg::OnSysCommand(UINT nID, LPARAM) {
    // The platform keeps the low four bits of a system command for itself.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

// The window has no minimise box; something else may still minimise it.
void CSerialKeyDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const IconOrigin origin = CenteredIconOrigin(client.right - client.left, client.bottom - client.top,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, origin.x, origin.y, m_hAppIcon);
    EndPaint(m_hWnd, &paint);
}

HICON CSerialKeyDlg::OnQueryDragIcon() { return m_hAppIcon; }

void CSerialKeyDlg::OnOpen() {
    UpdateData(TRUE);
    const std::vector<std::wstring> offered = ListItems(GetDlgItem(m_hWnd, IDC_PORT));
    const bool chosen = m_nPortIndex >= 0 && static_cast<std::size_t>(m_nPortIndex) < offered.size();
    // The start's own Open names its port, which may not be in the list yet: its device may come
    // later, and there is nobody to press Open again, so it waits for the port.
    const bool atStart = std::exchange(m_bOpeningAtStart, false);
    const std::wstring port = chosen ? offered[m_nPortIndex] : atStart ? m_strChosenPort : L"";
    SerialInput& serial = TheSerialInput();
    PortConnection(serial.ports, serial.sharedPort, serial.sleeper, *this, serial.reopener)
        .Open(port, {m_nBaudIndex, m_nDataBitsIndex, m_nParityIndex, m_nStopBitsIndex, m_nPortIndex},
              atStart ? PortConnection::OnFailure::Wait : PortConnection::OnFailure::Report);
}

void CSerialKeyDlg::OnOK() {
    EndSerialInput();
    CDialog::OnOK();
}

// Close, Escape, and every WM_CLOSE (the title bar, Alt+F4, the system menu, another program),
// which the platform's dialog processing turns into this cancel command.
void CSerialKeyDlg::OnCancel() {
    EndSerialInput();
    CDialog::OnCancel();
}

// The system may end the process as soon as this returns.
void CSerialKeyDlg::OnEndSession(WPARAM ending, LPARAM) {
    if (ending) EndSerialInput();
}

// However the program ends, its icon leaves the notification area with the window.
void CSerialKeyDlg::OnDestroy() {
    TheSerialInput().status.Attach(nullptr, 0);
    RemoveNotificationIcon(m_hWnd);
    Default();
}

LRESULT CSerialKeyDlg::OnShowWindow(WPARAM shown, LPARAM) {
    if (shown) RefreshPortList();
    return Default();
}

LRESULT CSerialKeyDlg::OnDeviceChange(WPARAM event, LPARAM) {
    // Serial devices are announced to every top-level window; other changes of the device tree
    // come as "nodes changed".
    if (IsWindowVisible(m_hWnd) &&
        (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE || event == DBT_DEVNODES_CHANGED))
        RefreshPortList();
    return Default();
}

LRESULT CSerialKeyDlg::OnPowerBroadcast(WPARAM event, LPARAM) {
    if (event == PBT_APMRESUMEAUTOMATIC) TheSerialInput().reopener.CheckAfterResume();
    return Default();
}

void CSerialKeyDlg::OnStatusChange() { ShowIcon(ModifyNotificationIcon); }

void CSerialKeyDlg::RefreshPortList() {
    HWND portList = GetDlgItem(m_hWnd, IDC_PORT);
    const std::vector<std::wstring> shown = ListItems(portList);
    const int selected = static_cast<int>(SendMessageW(portList, CB_GETCURSEL, 0, 0));
    if (selected >= 0 && static_cast<std::size_t>(selected) < shown.size()) m_strChosenPort = shown[selected];
    const std::vector<std::wstring> ports = OfferedPorts(m_listedPorts, SerialPortsInDeviceMap());
    SetListItems(portList, ports, PortPosition(ports, m_strChosenPort));
}

// The dialog manager shows a modal window as its run begins; a window kept hidden lets nothing
// show or activate it.
LRESULT CSerialKeyDlg::OnWindowPosChanging(WPARAM, LPARAM lParam) {
    if (m_bKeepHidden) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        position->flags = (position->flags & ~SWP_SHOWWINDOW) | SWP_NOACTIVATE;
    }
    return Default();
}

void CSerialKeyDlg::ReportPortUnavailable() {
    // This wording, misspelling and all, is fixed on purpose: users and their instructions know the
    // message by it. Do not correct it.
    MessageBoxW(m_hWnd, L"Serial Port is unavaible!", AfxGetApp()->m_strAppName.c_str(), MB_OK | MB_ICONHAND);
}

void CSerialKeyDlg::ReportPortNotSetUp(const std::string& deviceName, PortError error) {
    const std::wstring text = L"The serial port " + std::wstring(deviceName.begin(), deviceName.end()) +
                              L" could not be set up with these settings:\n\n" + SystemErrorText(error);
    MessageBoxW(m_hWnd, text.c_str(), AfxGetApp()->m_strAppName.c_str(), MB_OK | MB_ICONHAND);
}

void CSerialKeyDlg::DropUntypedBytes() {
    SerialInput& serial = TheSerialInput();
    serial.typing.DropUntyped();
    serial.status.ForgetLosses();
}

void CSerialKeyDlg::ResumeReader() {
    // Threads that could not be created at start-up get another chance with every Open.
    if (!m_pReaderThread) m_pReaderThread = BeginReaderThread(this);
    if (!m_pTypingThread) m_pTypingThread = BeginTypingThread(this);
    if (m_pReaderThread && m_pTypingThread) {
        // Every Open resumes; only the first finds the thread suspended.
        if (m_pReaderThread->ResumeThread() == static_cast<DWORD>(-1)) TraceFailedCall(L"ResumeThread");
        return;
    }
    MessageBoxW(m_hWnd,
                L"The program could not start reading the serial port, so nothing received will be typed. "
                L"Press Open to try again.",
                AfxGetApp()->m_strAppName.c_str(), MB_OK | MB_ICONHAND);
}

BOOL CSerialKeyDlg::ShowIcon(IconOperation operation) {
    const TipStatus status = TheSerialInput().status.Status();
    TraceLosses(m_shownStatus, status);
    m_shownStatus = status;
    return operation(m_hWnd, LoadSmallAppIcon(), NotificationTip(status));
}

// The shell may have refused the icon at start-up, or lost it since without saying so.
bool CSerialKeyDlg::EnsureNotificationIcon() {
    return ShowIcon(ModifyNotificationIcon) || ShowIcon(AddNotificationIcon);
}
