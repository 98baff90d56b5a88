// The items of an extended combo box, read and brought up to date.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::vector<std::wstring> ListItems(HWND list);

// Makes `list` hold `items` and selects `selection` (-1: none). The items that it holds already,
// from the first up to the first difference, stay as they are.
void SetListItems(HWND list, const std::vector<std::wstring>& items, int selection);
