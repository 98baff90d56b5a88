// The settings window: its lists, defaults, icons and data exchange.
#include "app/windows/SerialKeyDlg.h"

#include "app/framework/windows/WinApp.h"
#include "res/resource.h"

CSerialKeyDlg::CSerialKeyDlg(CDialog* pParent)
    : CDialog(IDD_MAIN, pParent),
      m_nBaudIndex(5),      // 9600
      m_nDataBitsIndex(1),  // 8
      m_nParityIndex(0),    // NONE
      m_nStopBitsIndex(0),  // 1
      m_nPortIndex(-1),     // chosen once the list is filled
      m_hAppIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

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
    return TRUE;  // the focus goes to the first tab stop, Open
}
