// The items of an extended combo box, read and brought up to date.
#include "app/windows/ListItems.h"

#include <commctrl.h>

#include "app/framework/windows/Dialog.h"

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = ARRAYSIZE(text);
        SendMessageW(list, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        items.emplace_back(text);
    }
    return items;
}

void SetListItems(HWND list, const std::vector<std::wstring>& items, int selection) {
    const std::vector<std::wstring> held = ListItems(list);
    std::size_t same = 0;
    while (same < held.size() && same < items.size() && held[same] == items[same]) ++same;
    for (std::size_t i = held.size(); i > same; --i) SendMessageW(list, CBEM_DELETEITEM, i - 1, 0);
    for (std::size_t i = same; i < items.size(); ++i) AppendListItem(list, items[i]);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}
