// Reads arbitrary bytes as a command line: each byte one character, a space between arguments.
// Whatever starts must have chosen items that the lists offer (or, with /open, a port up to COM256
// that is awaited), and written out again in the lists' own words it must start the same;
// whatever is refused must name one of the arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/unit/fakes/SettingsWindowLists.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

bool Offered(const std::vector<std::wstring>& items, std::int32_t position) {
    return position >= 0 && static_cast<std::size_t>(position) < items.size();
}

bool SameStart(const StartOptions& a, const StartOptions& b) {
    return a.open == b.open && a.keyTable == b.keyTable && a.charset == b.charset && a.port == b.port &&
           a.settings.portIndex == b.settings.portIndex &&
           a.settings.baudIndex == b.settings.baudIndex && a.settings.dataBitsIndex == b.settings.dataBitsIndex &&
           a.settings.parityIndex == b.settings.parityIndex && a.settings.stopBitsIndex == b.settings.stopBitsIndex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const SettingsLists lists = [] {
        SettingsLists offered = SettingsWindowLists();
        offered.ports.push_back(L"COM12");  // a port above COM9 that the system has
        return offered;
    }();

    std::vector<std::wstring> arguments(size ? 1 : 0);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == ' ')
            arguments.emplace_back();
        else
            arguments.back() += static_cast<wchar_t>(data[i]);
    }

    const CommandLine line = ParseCommandLine(arguments, lists);
    switch (line.action) {
        case CommandLine::ShowUsage:
            UsageText(L"SerialKey", lists);
            return 0;
        case CommandLine::Refuse: {
            bool named = false;
            for (const std::wstring& argument : arguments) named = named || argument == line.argument;
            Check(named);
            RefusalText(line, L"SerialKey", lists);
            return 0;
        }
        case CommandLine::Start:
            break;
    }

    const LineSettings& chosen = line.start.settings;
    const bool offered = Offered(lists.ports, chosen.portIndex) && lists.ports[chosen.portIndex] == line.start.port;
    const bool awaited = line.start.open && chosen.portIndex == -1 && line.start.port.size() <= 6 &&
                         line.start.port.compare(0, 3, L"COM") == 0;
    Check(offered || awaited);
    Check(Offered(lists.bauds, chosen.baudIndex) &&
          Offered(lists.dataBits, chosen.dataBitsIndex) && Offered(lists.parities, chosen.parityIndex) &&
          Offered(lists.stopBits, chosen.stopBitsIndex));

    static const wchar_t* const charsets[] = {L"ascii", L"utf-8", L"latin1", L"1252", L"437", L"850"};
    std::vector<std::wstring> written = {
        line.start.port,
        L"charset=" + std::wstring(charsets[static_cast<int>(line.start.charset)]),
        L"baud=" + lists.bauds[chosen.baudIndex],
        L"data=" + lists.dataBits[chosen.dataBitsIndex],
        L"parity=" + lists.parities[chosen.parityIndex],
        L"stop=" + lists.stopBits[chosen.stopBitsIndex],
    };
    if (line.start.open) written.push_back(L"/open");
    if (line.start.keyTable) written.push_back(L"/keys");
    const CommandLine again = ParseCommandLine(written, lists);
    Check(again.action == CommandLine::Start && SameStart(again.start, line.start));
    return 0;
}
