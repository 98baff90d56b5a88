// The program's windows run in this process: what another process cannot see of them under Wine,
// the settings window's system menu, the About box's layout in dialog units, the icon handle
// that adding the notification-area icon takes over, the list items read from the resources, and
// the port list's items brought up to date.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework/windows/WinApp.h"
#include "app/windows/AboutDlg.h"
#include "app/windows/ListItems.h"
#include "app/windows/NotificationIcon.h"
#include "app/windows/SerialKeyDlg.h"
#include "res/resource.h"
#include "tests/unit/fakes/SettingsWindowLists.h"

namespace {

class TestApp : public CWinApp {
public:
    BOOL InitInstance() override { return FALSE; }
};

TestApp theTestApp;

class WindowsInProcessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        theTestApp.m_hInstance = GetModuleHandleW(nullptr);
        theTestApp.m_strAppName = L"SerialKey";
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_USEREX_CLASSES};
        InitCommonControlsEx(&controls);
    }
};

struct MenuItem {
    UINT type;
    UINT id;
    std::wstring text;
};

std::vector<MenuItem> ItemsOf(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        items.push_back({info.fType, info.wID, text});
    }
    return items;
}

// The settings window as the program runs it, ended once it has initialised.
class InitialisedSettingsWindow : public CSerialKeyDlg {
public:
    std::vector<MenuItem> systemMenu;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CSerialKeyDlg::OnInitDialog();
        systemMenu = ItemsOf(GetSystemMenu(m_hWnd, FALSE));
        EndDialog(IDCANCEL);
        return result;
    }
};

TEST_F(WindowsInProcessTest, SystemMenuEndsWithASeparatorAndTheAboutItem) {
    InitialisedSettingsWindow window;
    theTestApp.m_pMainWnd = &window;
    ASSERT_EQ(window.DoModal(), IDCANCEL);

    const std::vector<MenuItem>& items = window.systemMenu;
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[items.size() - 2].type, UINT{MFT_SEPARATOR});
    EXPECT_EQ(items.back().type, UINT{MFT_STRING});
    EXPECT_EQ(items.back().id, UINT{IDM_ABOUTBOX});
    EXPECT_EQ(items.back().text, L"關於Varento(&A)...");
}

// A start of the settings window, watched from inside: whether it was ever on the screen or active.
// No port is opened: the watch takes Open's command itself. The run ends once the modal loop has
// waited for input, by which time the dialog manager has shown the window if it ever will.
class WatchedStart : public CSerialKeyDlg {
public:
    explicit WatchedStart(bool open) : CSerialKeyDlg(StartOptions{DefaultLineSettings, L"COM1", open}) {}

    bool shown = false;
    bool active = false;
    bool openPressed = false;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CSerialKeyDlg::OnInitDialog();
        SetTimer(m_hWnd, 1, 500, nullptr);
        return result;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_OPEN) {
            openPressed = true;
            return 0;
        }
        if (message == WM_TIMER) {
            EndDialog(IDCANCEL);
            return 0;
        }
        const LRESULT result = CSerialKeyDlg::WindowProc(message, wParam, lParam);
        shown = shown || IsWindowVisible(m_hWnd);
        active = active || GetActiveWindow() == m_hWnd;
        return result;
    }
};

TEST_F(WindowsInProcessTest, AStartThatOpensAtOnceNeverShowsNorActivatesTheWindow) {
    for (const bool open : {false, true}) {
        WatchedStart window(open);
        theTestApp.m_pMainWnd = &window;
        ASSERT_EQ(window.DoModal(), IDCANCEL);

        EXPECT_EQ(window.openPressed, open) << "open " << open;
        EXPECT_EQ(window.shown, !open) << "open " << open;
        EXPECT_EQ(window.active, !open) << "open " << open;
    }
}

// The command line is read against these lists; the native tests read it against the same items
// written out.
TEST_F(WindowsInProcessTest, OfferedListsAreTheItemsThatFillTheSettingsWindowsLists) {
    const SettingsLists offered = CSerialKeyDlg::OfferedLists();
    const SettingsLists written = SettingsWindowLists();

    EXPECT_EQ(offered.ports, written.ports);
    EXPECT_EQ(offered.bauds, written.bauds);
    EXPECT_EQ(offered.dataBits, written.dataBits);
    EXPECT_EQ(offered.parities, written.parities);
    EXPECT_EQ(offered.stopBits, written.stopBits);
}

TEST_F(WindowsInProcessTest, AddingTheIconDestroysTheCallersHandleWhateverTheShellAnswers) {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    const struct {
        const char* operation;
        BOOL (*show)(HWND, HICON, const std::wstring&);
        bool accepted;
    } cases[] = {
        {"modify", ModifyNotificationIcon, false},  // finds no icon to modify
        {"add", AddNotificationIcon, true},
    };
    for (const auto& c : cases) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
        ASSERT_TRUE(icon);
        EXPECT_EQ(c.show(owner, icon, NotificationTip({})) != FALSE, c.accepted) << c.operation;
        ICONINFO info{};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << c.operation;
    }
    EXPECT_TRUE(RemoveNotificationIcon(owner));
    DestroyWindow(owner);
}

// The port list grows and shrinks behind COM1 to COM9, which stay as the list data put them.
TEST_F(WindowsInProcessTest, SettingAListsItemsKeepsTheSameFrontReplacesTheRestAndSelects) {
    HWND list = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 200, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(list);
    using Items = std::vector<std::wstring>;

    SetListItems(list, {L"COM1", L"COM2", L"COM12"}, 2);
    EXPECT_EQ(ListItems(list), (Items{L"COM1", L"COM2", L"COM12"}));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 2);

    SetListItems(list, {L"COM1", L"COM2", L"COM10", L"COM12"}, 3);
    EXPECT_EQ(ListItems(list), (Items{L"COM1", L"COM2", L"COM10", L"COM12"}));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 3);

    SetListItems(list, {L"COM1", L"COM2"}, -1);
    EXPECT_EQ(ListItems(list), (Items{L"COM1", L"COM2"}));
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), -1);
    DestroyWindow(list);
}

struct Control {
    int id;
    std::wstring className;
    RECT rect;  // in the dialog's client coordinates

    bool operator==(const Control& other) const {
        return id == other.id && className == other.className && EqualRect(&rect, &other.rect);
    }
};

void PrintTo(const Control& c, std::ostream* os) {
    *os << c.id << " " << std::string(c.className.begin(), c.className.end()) << " (" << c.rect.left << ","
        << c.rect.top << ")-(" << c.rect.right << "," << c.rect.bottom << ")";
}

// The About box once it is initialised, in pixels, beside its template mapped from dialog units;
// then it is closed.
class MeasuredAboutBox : public CAboutDlg {
public:
    SIZE client{}, expectedClient{};
    std::vector<Control> controls, expectedControls;
    UINT defaultButton = 0;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CAboutDlg::OnInitDialog();
        RECT rect{};
        GetClientRect(m_hWnd, &rect);
        client = {rect.right, rect.bottom};
        rect = {0, 0, 235, 55};
        MapDialogRect(m_hWnd, &rect);
        expectedClient = {rect.right, rect.bottom};

        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[64] = L"";
            GetClassNameW(child, className, 64);
            GetWindowRect(child, &rect);
            MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
            controls.push_back({GetDlgCtrlID(child), className, rect});
        }
        // x, y, width, height in dialog units; each is mapped on its own, as the template is.
        const Control layout[] = {
            {-1, L"Static", {11, 17, 0, 0}},       // the icon, at the icon's own size
            {-1, L"Static", {40, 25, 119, 8}},     // the line about the program
            {IDOK, L"Button", {178, 7, 50, 14}},  // 關閉
        };
        for (Control control : layout) {
            MapDialogRect(m_hWnd, &control.rect);
            if (control.rect.right == 0) {
                control.rect.right = GetSystemMetrics(SM_CXICON);
                control.rect.bottom = GetSystemMetrics(SM_CYICON);
            }
            control.rect.right += control.rect.left;
            control.rect.bottom += control.rect.top;
            expectedControls.push_back(control);
        }
        defaultButton = LOWORD(SendMessageW(m_hWnd, DM_GETDEFID, 0, 0));
        EndDialog(IDCANCEL);
        return result;
    }
};

TEST_F(WindowsInProcessTest, AboutBoxIsLaidOutInDialogUnitsOfItsFont) {
    MeasuredAboutBox box;
    ASSERT_EQ(box.DoModal(), IDCANCEL);

    EXPECT_EQ(box.client.cx, box.expectedClient.cx);
    EXPECT_EQ(box.client.cy, box.expectedClient.cy);
    EXPECT_EQ(box.controls, box.expectedControls);
    EXPECT_EQ(box.defaultButton, UINT{IDOK});
}

}  // namespace
