// Port names as the user sees them and as the platform opens them.
#include "serial/PortNames.h"

namespace {

constexpr std::wstring_view Prefix = L"COM";
// Only COM1 to COM9 are reserved device names that open without the device namespace.
constexpr unsigned LastPlainPort = 9;
// Far above any port a system gives out, and far below what would overflow.
constexpr unsigned HighestPort = 9999;

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

}  // namespace

std::optional<unsigned> ComPortNumber(std::wstring_view portName) {
    if (portName.size() <= Prefix.size()) return std::nullopt;
    for (std::size_t i = 0; i < Prefix.size(); ++i)
        if (Upper(portName[i]) != Prefix[i]) return std::nullopt;
    const std::wstring_view digits = portName.substr(Prefix.size());
    if (digits.front() == L'0') return std::nullopt;  // "COM01" is no port's name
    unsigned number = 0;
    for (const wchar_t digit : digits) {
        if (digit < L'0' || digit > L'9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(digit - L'0');
        if (number > HighestPort) return std::nullopt;
    }
    return number;
}

std::optional<std::string> DeviceNameFor(std::wstring_view portName) {
    const std::optional<unsigned> number = ComPortNumber(portName);
    if (!number) return std::nullopt;
    const std::string name = "COM" + std::to_string(*number);
    return *number <= LastPlainPort ? name : "\\\\.\\" + name;
}
