// Modal dialogs: creation from a template, message dispatch, list filling, centring, data exchange.
#include "app/framework/windows/Dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "app/framework/DialogInitData.h"
#include "app/framework/windows/WinApp.h"

namespace {

// A dialog answers a help request with this base plus its template identifier.
constexpr LRESULT DialogHelpContextBase = 0x20000;

// The resource script is UTF-8, and its narrow strings keep those bytes.
std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

}  // namespace

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    HWND list = GetDlgItem(pDX->m_pDialog->m_hWnd, nIDC);
    if (pDX->m_bFromControls)
        index = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    else
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

CDialog::CDialog(UINT nIDTemplate, CDialog* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

const MessageMap* CDialog::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        OnCommand<&CDialog::OnOK>(IDOK),
        OnCommand<&CDialog::OnCancel>(IDCANCEL),
        OnMessage<&CDialog::OnCommandHelp>(WM_COMMANDHELP),
        OnMessage<&CDialog::OnHelpRequest>(WM_HELP),
    };
    static const MessageMap map{nullptr, entries, std::size(entries)};
    return &map;
}

INT_PTR CDialog::DoModal() {
    // The running window asks the application object for its owner, for the commands that no
    // window handles and for help: without one there is nothing to run it in.
    const CWinApp* app = AfxGetApp();
    if (!app) return -1;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    const CWnd* mainWindow = app->m_pMainWnd;
    if (!owner && mainWindow && mainWindow != this) owner = mainWindow->m_hWnd;
    return DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner, &StartDialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::UpdateData(BOOL bFromControls) {
    CDataExchange exchange(this, bFromControls);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    if (!FillListsFromInitData()) {
        EndDialog(-1);
        return FALSE;
    }
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM) { return DialogHelpContextBase + static_cast<LRESULT>(m_nIDTemplate); }

LRESULT CDialog::OnHelpRequest(WPARAM, LPARAM) {
    if (const CWnd* mainWindow = AfxGetApp()->m_pMainWnd)
        SendMessageW(mainWindow->m_hWnd, WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (DispatchToHandler(message, wParam, lParam, result)) return result;
    if (message == WM_COMMAND && AfxGetApp()->DispatchToHandler(message, wParam, lParam, result)) return result;
    return DefaultProcessing(message, wParam, lParam);
}

LRESULT CDialog::Default() {
    return DefaultProcessing(m_currentMessage.message, m_currentMessage.wParam, m_currentMessage.lParam);
}

LRESULT CDialog::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(m_pfnDefaultProc, m_hWnd, message, wParam, lParam);
}

// The dialog manager's procedure: it only hands WM_INITDIALOG to the object. The object then
// takes over the window procedure, and every later message reaches WindowProc; this procedure
// answers FALSE to them, which leaves them to the dialog manager's default processing.
INT_PTR CALLBACK CDialog::StartDialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Attach(window);
    const BOOL focusFirstTabStop = dialog->OnInitDialog();
    dialog->CenterWindow();
    return focusFirstTabStop;
}

LRESULT CALLBACK CDialog::FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const MSG outerMessage = dialog->m_currentMessage;  // handlers may send further messages
    dialog->m_currentMessage = MSG{window, message, wParam, lParam, 0, {}};
    const LRESULT result = dialog->WindowProc(message, wParam, lParam);
    dialog->m_currentMessage = outerMessage;
    if (message == WM_NCDESTROY) dialog->Detach();
    return result;
}

void CDialog::Attach(HWND window) {
    m_hWnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnDefaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
}

void CDialog::Detach() {
    m_hWnd = nullptr;
    CWinApp* app = AfxGetApp();
    if (app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

std::optional<std::vector<DialogListItem>> LoadDialogListItems(UINT nIDTemplate) {
    HINSTANCE module = AfxGetInstanceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(nIDTemplate), MAKEINTRESOURCEW(RT_DLGINIT));
    if (!found) return std::vector<DialogListItem>{};
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    if (!data) return std::nullopt;
    const auto records = ParseDialogInitData(data, SizeofResource(module, found));
    if (!records) return std::nullopt;
    std::vector<DialogListItem> items;
    for (const DialogInitRecord& record : *records) items.push_back({record.controlId, Widen(record.text)});
    return items;
}

bool AppendListItem(HWND list, std::wstring text) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = -1;  // at the end
    item.pszText = text.data();
    return SendMessageW(list, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) >= 0;
}

bool CDialog::FillListsFromInitData() {
    auto items = LoadDialogListItems(m_nIDTemplate);
    if (!items) return false;
    for (DialogListItem& listItem : *items)
        if (!AppendListItem(GetDlgItem(m_hWnd, listItem.controlId), std::move(listItem.text))) return false;
    return true;
}

// Centres the window over its owner, or on the work area when it has no owner on the screen,
// and keeps it wholly on the work area.
void CDialog::CenterWindow() {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    const bool overOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(overOwner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;

    RECT around = area;
    if (overOwner) GetWindowRect(owner, &around);
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = std::max(area.left, std::min(around.left + (around.right - around.left - width) / 2, area.right - width));
    const int y = std::max(area.top, std::min(around.top + (around.bottom - around.top - height) / 2, area.bottom - height));
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
