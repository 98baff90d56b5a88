// The settings window: the port and line settings as five list positions, and the program's main window.
#pragma once

#include "app/framework/windows/Dialog.h"
#include "app/framework/windows/WinThread.h"
#include "serial/PortConnection.h"

class CSerialKeyDlg : public CDialog, private ConnectionHost {
public:
    explicit CSerialKeyDlg(CDialog* pParent = nullptr);

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // Releases the port held, then opens and configures the one chosen in the lists.
    void OnOpen();

private:
    void ReportPortUnavailable() override;
    void ResumeReader() override;

    CWinThread* m_pReaderThread = nullptr;
    // The line settings: positions in the lists, -1 for no selection.
    int m_nBaudIndex;
    int m_nDataBitsIndex;
    int m_nParityIndex;
    int m_nStopBitsIndex;
    int m_nPortIndex;
    HICON m_hAppIcon;
};
