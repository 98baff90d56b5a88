// The ports that the settings window offers: COM1 to COM9 as always, then the ports above COM9 that exist.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `listed` are the window's own items (COM1 to COM9, from its list data), kept as they are at
// their positions. After them come the ports of `present` (the system's serial ports, in any
// order) numbered above the last of them, in ascending number, each once.
std::vector<std::wstring> OfferedPorts(const std::vector<std::wstring>& listed,
                                       const std::vector<std::wstring>& present);

// The position of `port` in `ports`, -1 when it is not offered.
std::int32_t PortPosition(const std::vector<std::wstring>& ports, const std::wstring& port);
