// Names the help page's topics and builds what starts a web browser on one of them.
#include "app/framework/HelpPage.h"

#include <cwchar>

namespace {

// Unreserved URL characters and those that a path may carry unencoded (RFC 3986).
bool KeptInUrl(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           (c != L'\0' && std::wcschr(L"-._~/:!$&'()*+,;=@", c) != nullptr);
}

void AppendPercentEncoded(std::wstring& url, unsigned byte) {
    const wchar_t* const digits = L"0123456789ABCDEF";
    url += L'%';
    url += digits[byte >> 4];
    url += digits[byte & 0xF];
}

// The UTF-8 bytes of one code point, percent-encoded.
void AppendEncodedCodePoint(std::wstring& url, char32_t c) {
    if (c < 0x80) {
        AppendPercentEncoded(url, static_cast<unsigned>(c));
    } else if (c < 0x800) {
        AppendPercentEncoded(url, 0xC0 | (c >> 6));
        AppendPercentEncoded(url, 0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        AppendPercentEncoded(url, 0xE0 | (c >> 12));
        AppendPercentEncoded(url, 0x80 | ((c >> 6) & 0x3F));
        AppendPercentEncoded(url, 0x80 | (c & 0x3F));
    } else {
        AppendPercentEncoded(url, 0xF0 | (c >> 18));
        AppendPercentEncoded(url, 0x80 | ((c >> 12) & 0x3F));
        AppendPercentEncoded(url, 0x80 | ((c >> 6) & 0x3F));
        AppendPercentEncoded(url, 0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::wstring HelpTopicFragment(std::uint32_t context) {
    wchar_t hex[9];
    std::swprintf(hex, sizeof hex / sizeof hex[0], L"%x", static_cast<unsigned>(context));
    return L"context-0x" + std::wstring(hex);
}

std::wstring FileUrl(std::wstring_view windowsPath, std::wstring_view fragment) {
    // "C:\dir" becomes file:///C:/dir; "\\server\share" becomes file://server/share.
    const bool network = windowsPath.substr(0, 2) == L"\\\\";
    if (network) windowsPath.remove_prefix(2);
    std::wstring url = network ? L"file://" : L"file:///";
    for (std::size_t i = 0; i < windowsPath.size(); ++i) {
        const wchar_t c = windowsPath[i];
        if (c == L'\\') {
            url += L'/';
        } else if (KeptInUrl(c)) {
            url += c;
        } else if (IsHighSurrogate(c) && i + 1 < windowsPath.size() && IsLowSurrogate(windowsPath[i + 1])) {
            AppendEncodedCodePoint(url, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (windowsPath[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendEncodedCodePoint(url, c);
        }
    }
    if (!fragment.empty()) url += L"#" + std::wstring(fragment);
    return url;
}

std::wstring BrowserCommandLine(std::wstring_view registeredCommand, std::wstring_view url) {
    std::wstring commandLine;
    bool placed = false;
    for (std::size_t i = 0; i < registeredCommand.size(); ++i) {
        const wchar_t c = registeredCommand[i];
        const wchar_t next = i + 1 < registeredCommand.size() ? registeredCommand[i + 1] : L'\0';
        if (c == L'%' && (next == L'1' || next == L'L' || next == L'l')) {
            commandLine += url;
            placed = true;
            ++i;
        } else if (c == L'%' && next == L'*') {
            ++i;  // no further arguments
        } else {
            commandLine += c;
        }
    }
    if (!placed) commandLine += L" \"" + std::wstring(url) + L"\"";
    return commandLine;
}
