// The settings window: the port and line settings as five list positions, and the program's main window.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/framework/windows/Dialog.h"
#include "app/NotificationTip.h"
#include "app/framework/windows/WinThread.h"
#include "serial/PortConnection.h"

class CSerialKeyDlg : public CDialog, private ConnectionHost {
public:
    // Shows the positions of `start`, and its port. With `start.open` it presses Open as its run
    // begins, waits for the port if it is not there, and stays off the screen until the
    // notification-area icon calls it.
    explicit CSerialKeyDlg(const StartOptions& start = {}, CDialog* pParent = nullptr);

    // The items that the window's lists offer, read from the data that fills them.
    static SettingsLists OfferedLists();

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Open hides the window, and a press on the notification-area icon brings it back, before
    // the message map sees either.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    // Releases the port held, then opens and configures the one chosen in the lists.
    void OnOpen();
    // Every way of ending the run stops the typing and releases the port before the window goes.
    void OnOK();
    void OnCancel();
    void OnEndSession(WPARAM ending, LPARAM);
    void OnDestroy();
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    // The port list is brought up to date when the window is shown, and when devices come or go
    // while it is shown.
    LRESULT OnShowWindow(WPARAM shown, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM event, LPARAM lParam);
    // After the system resumes, an open port is asked whether it still works, and opened again if
    // not: its device may have come back as a new one.
    LRESULT OnPowerBroadcast(WPARAM event, LPARAM lParam);
    // The typing is held back, or let go: a port waits for its device, or the window in front
    // cannot take the keys. The icon's tip tells.
    void OnStatusChange();

private:
    void ReportPortUnavailable() override;
    void ReportPortNotSetUp(const std::string& deviceName, PortError error) override;
    void DropUntypedBytes() override;
    void ResumeReader() override;

    void AppendAboutItem();
    // Adds or modifies the notification-area icon (AddNotificationIcon, ModifyNotificationIcon)
    // with the program's small icon and the tip for this moment; new losses go to the debug output.
    using IconOperation = BOOL (*)(HWND, HICON, const std::wstring&);
    BOOL ShowIcon(IconOperation operation);
    // Whether the icon is in the notification area, after adding it again if the shell has lost it.
    bool EnsureNotificationIcon();
    // Offers COM1 to COM9 and the higher ports that the system has now, keeping the choice.
    void RefreshPortList();

    const StartOptions m_start;
    // COM1 to COM9, as the list data puts them in the port list.
    std::vector<std::wstring> m_listedPorts;
    // The port chosen last; it stays chosen while its device is away, to be selected on its return.
    std::wstring m_strChosenPort;
    // Set while a start that opened at once keeps the window off the screen.
    bool m_bKeepHidden = false;
    // Set from the start until the Open that it presses runs.
    bool m_bOpeningAtStart = false;
    // What the icon's tip showed last.
    TipStatus m_shownStatus;
    CWinThread* m_pReaderThread = nullptr;
    CWinThread* m_pTypingThread = nullptr;
    // The line settings: positions in the lists, -1 for no selection.
    int m_nBaudIndex;
    int m_nDataBitsIndex;
    int m_nParityIndex;
    int m_nStopBitsIndex;
    int m_nPortIndex;
    HICON m_hAppIcon;
};
