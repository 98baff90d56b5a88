// The ports that the settings window offers.
#include "app/PortList.h"

#include <algorithm>
#include <map>
#include <optional>

#include "serial/PortNames.h"

std::vector<std::wstring> OfferedPorts(const std::vector<std::wstring>& listed,
                                       const std::vector<std::wstring>& present) {
    unsigned highestListed = 0;
    for (const std::wstring& port : listed)
        highestListed = std::max(highestListed, ComPortNumber(port).value_or(0));

    // By number: ascending, and one entry for a port the system names twice.
    std::map<unsigned, std::wstring> above;
    for (const std::wstring& port : present)
        if (const std::optional<unsigned> number = ComPortNumber(port); number && *number > highestListed)
            above.emplace(*number, L"COM" + std::to_wstring(*number));

    std::vector<std::wstring> offered = listed;
    for (const auto& [number, port] : above) offered.push_back(port);
    return offered;
}

std::int32_t PortPosition(const std::vector<std::wstring>& ports, const std::wstring& port) {
    const auto found = std::find(ports.begin(), ports.end(), port);
    return found == ports.end() ? -1 : static_cast<std::int32_t>(found - ports.begin());
}
