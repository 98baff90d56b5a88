// Modal dialogs built from a template, with message maps and data exchange.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/framework/windows/MessageMap.h"
#include "app/framework/windows/Wnd.h"

class CDialog;

// Which way a data exchange runs, and for which dialog.
class CDataExchange {
public:
    CDataExchange(CDialog* pDialog, BOOL bFromControls) : m_pDialog(pDialog), m_bFromControls(bFromControls) {}

    CDialog* m_pDialog;
    // TRUE: from the controls into the members; FALSE: from the members into the controls.
    BOOL m_bFromControls;
};

// Exchanges a list's selected position: 0 is the first item, -1 no selection.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);

// One item that a dialog template's initialisation data appends to the list `controlId`.
struct DialogListItem {
    int controlId;
    std::wstring text;
};

// The list items that travel with template `nIDTemplate`, in the order they are appended: none
// when the template has no initialisation data, nothing when the data cannot be read.
std::optional<std::vector<DialogListItem>> LoadDialogListItems(UINT nIDTemplate);

// Appends `text` to the extended combo box `list`; false when the list refuses it.
bool AppendListItem(HWND list, std::wstring text);

class CDialog : public CWnd {
public:
    // `pParentWnd` owns the dialog; without one the program's main window does (if it is another).
    explicit CDialog(UINT nIDTemplate, CDialog* pParentWnd = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window from the template, initialises it, centres and shows it, and runs it until
    // EndDialog; the window is gone when this returns the end code. -1: it could not be created, or
    // there is no application object to run it in.
    INT_PTR DoModal();
    // Ends the modal run; DoModal returns `nResult`.
    void EndDialog(int nResult);
    // Runs DoDataExchange in the direction given: TRUE from the controls, FALSE into them.
    BOOL UpdateData(BOOL bFromControls = TRUE);

protected:
    const MessageMap* GetMessageMap() const override;
    virtual void DoDataExchange(CDataExchange* pDX);
    // Every message that reaches the window: the message maps first, then the commands that no
    // window handles go to the application object, then the platform's default dialog processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window exists but is not shown yet: fills the lists from the template's initialisation
    // data and shows the members in the controls. TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();

    // The platform's default processing of the message being handled.
    LRESULT Default();

    void OnOK();
    void OnCancel();

private:
    static INT_PTR CALLBACK StartDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detach();
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    bool FillListsFromInitData();
    void CenterWindow();
    LRESULT OnCommandHelp(WPARAM, LPARAM);
    LRESULT OnHelpRequest(WPARAM, LPARAM);

    UINT m_nIDTemplate;
    CDialog* m_pParentWnd;
    WNDPROC m_pfnDefaultProc = nullptr;
    MSG m_currentMessage{};
};
