// The settings window: its lists, defaults, icons and data exchange.
#include "app/windows/SerialKeyDlg.h"

#include <iterator>

#include "app/framework/windows/WinApp.h"
#include "app/windows/SerialInput.h"
#include "res/resource.h"

namespace {

CWinThread* BeginReaderThread(CSerialKeyDlg* window) {
    // Suspended: the reader runs only from the first Open on.
    return AfxBeginThread(ReaderThreadProc, window, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
}

}  // namespace

CSerialKeyDlg::CSerialKeyDlg(CDialog* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_nBaudIndex(5),      // 9600
      m_nDataBitsIndex(1),  // 8
      m_nParityIndex(0),    // NONE
      m_nStopBitsIndex(0),  // 1
      m_nPortIndex(-1),     // chosen once the list is filled
      m_hAppIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

const MessageMap* CSerialKeyDlg::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnCommand<&CSerialKeyDlg::OnOpen>(IDC_OPEN),
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

BOOL CSerialKeyDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hAppIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hAppIcon));

    m_nPortIndex = 0;  // COM1
    UpdateData(FALSE);

    m_pReaderThread = BeginReaderThread(this);
    return TRUE;  // the focus goes to the first tab stop, Open
}

void CSerialKeyDlg::OnOpen() {
    UpdateData(TRUE);
    SerialInput& serial = TheSerialInput();
    PortConnection(serial.ports, serial.slot, serial.sleeper, *this)
        .Open({m_nBaudIndex, m_nDataBitsIndex, m_nParityIndex, m_nStopBitsIndex, m_nPortIndex});
}

void CSerialKeyDlg::ReportPortUnavailable() {
    MessageBoxW(m_hWnd, L"Serial Port is unavaible!", AfxGetApp()->m_strAppName.c_str(), MB_OK | MB_ICONHAND);
}

void CSerialKeyDlg::ResumeReader() {
    // A reader that could not be created at start-up gets another chance with every Open.
    if (!m_pReaderThread) m_pReaderThread = BeginReaderThread(this);
    if (m_pReaderThread) {
        m_pReaderThread->ResumeThread();
        return;
    }
    MessageBoxW(m_hWnd,
                L"The program could not start reading the serial port, so nothing received will be typed. "
                L"Press Open to try again.",
                AfxGetApp()->m_strAppName.c_str(), MB_OK | MB_ICONHAND);
}
