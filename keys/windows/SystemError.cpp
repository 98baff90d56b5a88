// The system's own words for why a call failed.
#include "keys/windows/SystemError.h"

#include <cwctype>

std::wstring SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    LocalFree(text);
    while (!words.empty() && iswspace(words.back())) words.pop_back();  // the system ends it with a line break
    const std::wstring number = L"error " + std::to_wstring(error);
    return words.empty() ? number : words + L" (" + number + L")";
}

std::wstring FailedCallText(const wchar_t* call, DWORD error) {
    // Some calls fail without setting a reason.
    const std::wstring why = error != ERROR_SUCCESS ? SystemErrorText(error) : L"no reason given";
    return L"SerialKey: " + std::wstring(call) + L" failed: " + why + L"\n";
}

void TraceFailedCall(const wchar_t* call, DWORD error) { OutputDebugStringW(FailedCallText(call, error).c_str()); }
