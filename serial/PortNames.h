// Port names as the user sees them ("COM12") and as the platform opens them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The number of a port named "COMn" (any case), n from 1 on; none for any other name.
std::optional<unsigned> ComPortNumber(std::wstring_view portName);

// The name that opens a port: "COM1" to "COM9" as they are, and from COM10 on the form
// "\\.\COM10", which is the only one that opens them. None for a name that is not "COMn".
std::optional<std::string> DeviceNameFor(std::wstring_view portName);
