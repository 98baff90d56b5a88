// Reads the settings to start with from the command line, against the items the lists offer.
#include "app/CommandLine.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "res/Version.h"
#include "serial/PortNames.h"

namespace {

// How a value may name a list item besides its whole text.
enum class Shorthand {
    None,
    Initial,        // "e" for EVEN: the one item that begins with that letter
    TrailingColon,  // "COM3:", as the mode command writes a port
};

// One setting: the word before '=' (none for the port, which stands alone), what the usage calls
// its value, the list the value must come from, and the position it chooses.
struct Setting {
    const wchar_t* keyword;
    const wchar_t* placeholder;
    std::vector<std::wstring> SettingsLists::*list;
    std::int32_t LineSettings::*position;
    Shorthand shorthand;
};

const Setting Settings[] = {
    {nullptr, L"COMn", &SettingsLists::ports, &LineSettings::portIndex, Shorthand::TrailingColon},
    {L"baud", L"rate", &SettingsLists::bauds, &LineSettings::baudIndex, Shorthand::None},
    {L"data", L"bits", &SettingsLists::dataBits, &LineSettings::dataBitsIndex, Shorthand::None},
    {L"parity", L"p", &SettingsLists::parities, &LineSettings::parityIndex, Shorthand::Initial},
    {L"stop", L"bits", &SettingsLists::stopBits, &LineSettings::stopBitsIndex, Shorthand::None},
};

// A switch turns on one of the start's options.
struct Switch {
    std::wstring_view name;
    bool StartOptions::*option;
    const wchar_t* meaning;
};

const Switch Switches[] = {
    {L"/open", &StartOptions::open,
     L"press Open at start and type from the notification area, without showing the window; "
     L"a port that is not there yet (COM1 to COM256) is waited for"},
    {L"/keys", &StartOptions::keyTable,
     L"strike the US keys of each ASCII character on every keyboard layout, for programs that read keys"},
};

// The character sets by the names an argument gives them, the first name of each as the usage shows it.
struct CharsetName {
    std::wstring_view name;
    Charset charset;
};

const CharsetName CharsetNames[] = {
    {L"ascii", Charset::Ascii},      {L"utf-8", Charset::Utf8},  {L"latin1", Charset::Latin1},
    {L"1252", Charset::Windows1252}, {L"437", Charset::Cp437},   {L"850", Charset::Cp850},
    // Other names that people use for them.
    {L"utf8", Charset::Utf8},        {L"iso-8859-1", Charset::Latin1},
};
constexpr std::size_t ShownCharsetNames = 6;
constexpr std::wstring_view CharsetKeyword = L"charset";

constexpr std::wstring_view UsageSwitch = L"/?";
constexpr std::wstring_view OpenSwitch = L"/open";
// The ports an unattended start waits for, whether or not the system has them yet.
constexpr unsigned HighestAwaitedPort = 256;

// Only ASCII letters fold: the words and values are ASCII, and the user's locale must not
// change what an argument means.
wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

std::optional<std::int32_t> PositionOf(std::wstring_view value, const Setting& setting, const SettingsLists& lists) {
    const std::vector<std::wstring>& items = lists.*setting.list;
    if (setting.shorthand == Shorthand::TrailingColon && !value.empty() && value.back() == L':')
        value.remove_suffix(1);
    if (value.empty()) return std::nullopt;

    for (std::size_t i = 0; i < items.size(); ++i)
        if (SameIgnoringCase(value, items[i])) return static_cast<std::int32_t>(i);

    if (setting.shorthand != Shorthand::Initial || value.size() != 1) return std::nullopt;
    // A letter that begins more than one item names none of them.
    std::optional<std::int32_t> found;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].empty() || FoldCase(items[i].front()) != FoldCase(value.front())) continue;
        if (found) return std::nullopt;
        found = static_cast<std::int32_t>(i);
    }
    return found;
}

// "COMn" for a port value from COM1 to COM256 (also written "com3:"); empty for any other value.
std::wstring AwaitablePort(std::wstring_view value) {
    if (!value.empty() && value.back() == L':') value.remove_suffix(1);
    const std::optional<unsigned> number = ComPortNumber(value);
    if (!number || *number > HighestAwaitedPort) return L"";
    return L"COM" + std::to_wstring(*number);
}

// The character set that a "charset=" argument names; none for another argument or an unknown set.
// `named` says whether the argument is a "charset=" one at all.
std::optional<Charset> CharsetOf(std::wstring_view argument, bool& named) {
    const std::size_t equals = argument.find(L'=');
    named = equals != std::wstring_view::npos && SameIgnoringCase(argument.substr(0, equals), CharsetKeyword);
    if (!named) return std::nullopt;
    for (const CharsetName& charset : CharsetNames)
        if (SameIgnoringCase(argument.substr(equals + 1), charset.name)) return charset.charset;
    return std::nullopt;
}

// The setting that an argument names: by the word before its '=', or the port when it has none.
const Setting* SettingNamedBy(std::wstring_view argument) {
    const std::size_t equals = argument.find(L'=');
    for (const Setting& setting : Settings) {
        if (equals == std::wstring_view::npos ? !setting.keyword
                                              : setting.keyword && SameIgnoringCase(argument.substr(0, equals),
                                                                                    setting.keyword))
            return &setting;
    }
    return nullptr;
}

std::wstring_view ValueOf(std::wstring_view argument) {
    const std::size_t equals = argument.find(L'=');
    return equals == std::wstring_view::npos ? argument : argument.substr(equals + 1);
}

CommandLine Refused(const std::wstring& argument, CommandLine::Problem problem) {
    CommandLine refused;
    refused.action = CommandLine::Refuse;
    refused.argument = argument;
    refused.problem = problem;
    return refused;
}

// "baud=", or "COMn" for the port.
std::wstring LabelOf(const Setting& setting) {
    return setting.keyword ? std::wstring(setting.keyword) + L"=" : setting.placeholder;
}

// "baud=rate", or "COMn" for the port.
std::wstring FormOf(const Setting& setting) {
    return setting.keyword ? LabelOf(setting) + setting.placeholder : setting.placeholder;
}

std::wstring SpaceSeparated(const std::vector<std::wstring>& items) {
    std::wstring joined;
    for (const std::wstring& item : items) joined += (joined.empty() ? L"" : L" ") + item;
    return joined;
}

// The letters that stand for the setting's items: each the initial of exactly one.
std::vector<std::wstring> InitialsOf(const Setting& setting, const SettingsLists& lists) {
    const std::vector<std::wstring>& items = lists.*setting.list;
    std::vector<std::wstring> initials;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::wstring initial = items[i].substr(0, 1);
        if (PositionOf(initial, setting, lists) == static_cast<std::int32_t>(i)) initials.push_back(initial);
    }
    return initials;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments, const SettingsLists& lists) {
    CommandLine result;
    for (const std::wstring& argument : arguments) {
        if (argument == UsageSwitch) {
            result.action = CommandLine::ShowUsage;
            return result;
        }
    }

    const bool opens = std::any_of(arguments.begin(), arguments.end(),
                                   [](const std::wstring& argument) { return SameIgnoringCase(argument, OpenSwitch); });

    // Each setting once: a second value is more likely a slip than a wish, and an unattended
    // station must not start with a guess.
    bool given[std::size(Settings)] = {};
    bool charsetGiven = false;
    for (const std::wstring& argument : arguments) {
        const auto named = [&](const Switch& s) { return SameIgnoringCase(argument, s.name); };
        if (const Switch* s = std::find_if(std::begin(Switches), std::end(Switches), named); s != std::end(Switches)) {
            bool& on = result.start.*s->option;
            if (on) return Refused(argument, CommandLine::Repeated);
            on = true;
            continue;
        }
        bool isCharset = false;
        if (const std::optional<Charset> charset = CharsetOf(argument, isCharset)) {
            if (std::exchange(charsetGiven, true)) return Refused(argument, CommandLine::Repeated);
            result.start.charset = *charset;
            continue;
        }
        const Setting* setting = isCharset ? nullptr : SettingNamedBy(argument);
        if (!setting) return Refused(argument, CommandLine::NotUnderstood);
        const bool isPort = setting->list == &SettingsLists::ports;
        std::optional<std::int32_t> position = PositionOf(ValueOf(argument), *setting, lists);
        const std::wstring awaited = !position && isPort && opens ? AwaitablePort(ValueOf(argument)) : L"";
        if (!awaited.empty()) position = -1;
        if (!position) return Refused(argument, CommandLine::NotUnderstood);
        bool& settingGiven = given[setting - Settings];
        if (settingGiven) return Refused(argument, CommandLine::Repeated);
        settingGiven = true;
        result.start.settings.*setting->position = *position;
        if (isPort) result.start.port = awaited;
    }
    const std::int32_t portIndex = result.start.settings.portIndex;
    if (result.start.port.empty() && portIndex >= 0 && static_cast<std::size_t>(portIndex) < lists.ports.size())
        result.start.port = lists.ports[portIndex];
    return result;
}

std::wstring UsageText(const std::wstring& programName, const SettingsLists& lists) {
    std::wstring synopsis = L"Usage: " + programName;
    std::wstring values;
    std::wstring defaults;
    for (const Setting& setting : Settings) {
        const std::vector<std::wstring>& items = lists.*setting.list;
        synopsis += L" [" + FormOf(setting) + L"]";
        values += LabelOf(setting) + L"\t" + SpaceSeparated(items);
        if (setting.shorthand == Shorthand::Initial) values += L", or " + SpaceSeparated(InitialsOf(setting, lists));
        values += L"\n";
        const std::int32_t position = DefaultLineSettings.*setting.position;
        if (position >= 0 && static_cast<std::size_t>(position) < items.size())
            defaults += (defaults.empty() ? L"" : L" ") + items[position];
    }
    synopsis += L" [" + std::wstring(CharsetKeyword) + L"=set]";
    values += std::wstring(CharsetKeyword) + L"=\t";
    for (std::size_t i = 0; i < ShownCharsetNames; ++i) values += (i ? L" " : L"") + std::wstring(CharsetNames[i].name);
    values += L" (ascii: bytes above 0x7F type nothing)\n";
    for (const Switch& s : Switches) {
        synopsis += L" [" + std::wstring(s.name) + L"]";
        values += std::wstring(s.name) + L"\t" + s.meaning + L"\n";
    }

    return synopsis + L"\n\n" + values +
           std::wstring(UsageSwitch) + L"\tshow this text\n\n"
                                       L"In any order, each at most once, in upper or lower case. "
                                       L"What is not given keeps its default: " + defaults + L" ascii.\n"
           L"Example: " + programName + L" COM3 baud=19200 parity=e /open" +
           L"\n\nSerialKey " SERIALKEY_VERSION_TEXT;
}

std::wstring RefusalText(const CommandLine& refused, const std::wstring& programName, const SettingsLists& lists) {
    const wchar_t* why = refused.problem == CommandLine::Repeated ? L"repeats a setting given before"
                                                                   : L"was not understood";
    return L"The argument \"" + refused.argument + L"\" " + why + L".\n\n" + UsageText(programName, lists);
}
