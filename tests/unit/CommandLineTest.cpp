// Command lines to the settings they start with, or to the argument they are refused for.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/Version.h"
#include "tests/unit/fakes/SettingsWindowLists.h"

namespace {

using Arguments = std::vector<std::wstring>;

// Readable in a failure message: non-ASCII characters as \uXXXX.
std::string Printable(const std::wstring& text) {
    std::string printable;
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            printable += static_cast<char>(c);
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            printable += escaped;
        }
    }
    return printable;
}

std::string Printable(const Arguments& arguments) {
    std::string printable;
    for (const std::wstring& argument : arguments) printable += "[" + Printable(argument) + "]";
    return printable;
}

std::wstring Lowered(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::wstring ItemAt(const std::vector<std::wstring>& items, std::int32_t position) {
    if (position >= 0 && static_cast<std::size_t>(position) < items.size()) return items[position];
    return L"#" + std::to_wstring(position);
}

// " charset=NAME" for every character set but the default.
std::string CharsetNamed(Charset charset) {
    switch (charset) {
        case Charset::Ascii: return "";
        case Charset::Utf8: return " charset=utf-8";
        case Charset::Latin1: return " charset=latin1";
        case Charset::Windows1252: return " charset=1252";
        case Charset::Cp437: return " charset=437";
        case Charset::Cp850: return " charset=850";
    }
    return " charset=?";
}

// The outcome in the lists' own words: "COM3 19200 8 EVEN 1 /open", "usage", or the refusal.
std::string Described(const CommandLine& line, const SettingsLists& lists) {
    switch (line.action) {
        case CommandLine::ShowUsage:
            return "usage";
        case CommandLine::Refuse:
            return (line.problem == CommandLine::Repeated ? "repeated: " : "not understood: ") +
                   Printable(line.argument);
        case CommandLine::Start:
            break;
    }
    const LineSettings& s = line.start.settings;
    // The port by its name: one that is offered has it at its position, one that is awaited none.
    const bool offered = ItemAt(lists.ports, s.portIndex) == line.start.port;
    const bool awaited = s.portIndex == -1 && line.start.open;
    if (!offered && !awaited) return "port " + Printable(line.start.port) + " at #" + std::to_string(s.portIndex);
    return Printable(line.start.port + L" " + ItemAt(lists.bauds, s.baudIndex) + L" " +
                     ItemAt(lists.dataBits, s.dataBitsIndex) + L" " + ItemAt(lists.parities, s.parityIndex) +
                     L" " + ItemAt(lists.stopBits, s.stopBitsIndex) + (line.start.open ? L" /open" : L"") +
                     (line.start.keyTable ? L" /keys" : L"")) +
           CharsetNamed(line.start.charset);
}

std::string Parsed(const Arguments& arguments, const SettingsLists& lists = SettingsWindowLists()) {
    return Described(ParseCommandLine(arguments, lists), lists);
}

struct Case {
    Arguments arguments;
    const char* outcome;
};

TEST(ParseCommandLine, AcceptedCommandLines) {
    const Case cases[] = {
        {{}, "COM1 9600 8 NONE 1"},
        {{L"/open"}, "COM1 9600 8 NONE 1 /open"},
        {{L"COM1", L"baud=19200", L"parity=e", L"/open"}, "COM1 19200 8 EVEN 1 /open"},
        {{L"/open", L"stop=2", L"parity=odd", L"data=7", L"baud=300", L"COM9"}, "COM9 300 7 ODD 2 /open"},
        {{L"baud=115200"}, "COM1 115200 8 NONE 1"},
        {{L"stop=1.5"}, "COM1 9600 8 NONE 1.5"},
        // Upper or lower case, in the word and in the value.
        {{L"com4", L"BAUD=4800", L"Parity=Mark", L"DATA=7", L"Stop=2", L"/OPEN"}, "COM4 4800 7 MARK 2 /open"},
        {{L"/Open"}, "COM1 9600 8 NONE 1 /open"},
        {{L"/KEYS", L"COM2"}, "COM2 9600 8 NONE 1 /keys"},
        {{L"/keys", L"/open"}, "COM1 9600 8 NONE 1 /open /keys"},
        {{L"parity=SPACE"}, "COM1 9600 8 SPACE 1"},
        // The port as the mode command writes it.
        {{L"COM3:"}, "COM3 9600 8 NONE 1"},
        // A value equal to the default is still a choice.
        {{L"COM1", L"baud=9600", L"data=8", L"parity=n", L"stop=1"}, "COM1 9600 8 NONE 1"},
        // "/?" anywhere asks for the usage, whatever else stands beside it.
        {{L"/?"}, "usage"},
        {{L"COM2", L"/?"}, "usage"},
        {{L"nonsense", L"/?"}, "usage"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.arguments), c.outcome) << Printable(c.arguments);
}

TEST(ParseCommandLine, EveryListItemChoosesItsPosition) {
    const SettingsLists lists = SettingsWindowLists();
    struct Form {
        const wchar_t* prefix;
        const std::vector<std::wstring>& items;
        std::int32_t LineSettings::*position;
    };
    const Form forms[] = {
        {L"", lists.ports, &LineSettings::portIndex},
        {L"baud=", lists.bauds, &LineSettings::baudIndex},
        {L"data=", lists.dataBits, &LineSettings::dataBitsIndex},
        {L"parity=", lists.parities, &LineSettings::parityIndex},
        {L"stop=", lists.stopBits, &LineSettings::stopBitsIndex},
    };
    for (const Form& form : forms) {
        for (std::size_t i = 0; i < form.items.size(); ++i) {
            for (const std::wstring& argument : {form.prefix + form.items[i], form.prefix + Lowered(form.items[i])}) {
                const CommandLine line = ParseCommandLine({argument}, lists);
                ASSERT_EQ(line.action, CommandLine::Start) << Printable(argument);
                EXPECT_EQ(line.start.settings.*form.position, static_cast<std::int32_t>(i)) << Printable(argument);
            }
        }
    }
}

TEST(ParseCommandLine, ParityTakesTheInitialOfItsWord) {
    const Case cases[] = {
        {{L"parity=n"}, "COM1 9600 8 NONE 1"}, {{L"parity=O"}, "COM1 9600 8 ODD 1"},
        {{L"parity=e"}, "COM1 9600 8 EVEN 1"}, {{L"parity=M"}, "COM1 9600 8 MARK 1"},
        {{L"parity=s"}, "COM1 9600 8 SPACE 1"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.arguments), c.outcome) << Printable(c.arguments);
}

TEST(ParseCommandLine, RefusesWhatNoListOffersAndWhatItDoesNotKnow) {
    const Case cases[] = {
        {{L"fast"}, "not understood: fast"},
        {{L"speed=9600"}, "not understood: speed=9600"},
        {{L"open"}, "not understood: open"},
        {{L"-open"}, "not understood: -open"},
        {{L"/opened"}, "not understood: /opened"},
        {{L""}, "not understood: "},
        {{L" COM1"}, "not understood:  COM1"},
        // Empty values and values without a word.
        {{L"baud="}, "not understood: baud="},
        {{L"parity="}, "not understood: parity="},
        {{L"=9600"}, "not understood: =9600"},
        {{L"COM1:", L":"}, "not understood: :"},
        // Values that no list offers.
        {{L"baud=9601"}, "not understood: baud=9601"},
        {{L"baud=96"}, "not understood: baud=96"},
        {{L"baud=09600"}, "not understood: baud=09600"},
        {{L"baud=9600="}, "not understood: baud=9600="},
        {{L"data=5"}, "not understood: data=5"},
        {{L"stop=1,5"}, "not understood: stop=1,5"},
        {{L"stop=3"}, "not understood: stop=3"},
        {{L"parity=x"}, "not understood: parity=x"},
        {{L"parity=ev"}, "not understood: parity=ev"},
        {{L"COM10"}, "not understood: COM10"},
        {{L"COM0"}, "not understood: COM0"},
        {{L"COM1::"}, "not understood: COM1::"},
        {{L"COM"}, "not understood: COM"},
        // Only the parity takes an initial.
        {{L"data=e"}, "not understood: data=e"},
        // Only ASCII counts: an Arabic-Indic one is no 1, and a dotted capital I no i.
        {{L"COM\u0661"}, "not understood: COM\\u0661"},
        {{L"/\u0130pen"}, "not understood: /\\u0130pen"},
        // The first argument at fault is the one named, and nothing starts half configured.
        {{L"COM2", L"baud=1", L"fast"}, "not understood: baud=1"},
        {{L"/open", L"baud=1"}, "not understood: baud=1"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.arguments), c.outcome) << Printable(c.arguments);
}

TEST(ParseCommandLine, RefusesASettingGivenTwice) {
    const Case cases[] = {
        {{L"baud=9600", L"baud=19200"}, "repeated: baud=19200"},
        {{L"baud=9600", L"BAUD=9600"}, "repeated: BAUD=9600"},
        {{L"COM1", L"COM2"}, "repeated: COM2"},
        {{L"parity=e", L"parity=even"}, "repeated: parity=even"},
        {{L"data=7", L"stop=2", L"data=8"}, "repeated: data=8"},
        {{L"stop=1", L"stop=1.5"}, "repeated: stop=1.5"},
        {{L"/open", L"/OPEN"}, "repeated: /OPEN"},
        {{L"/keys", L"/Keys"}, "repeated: /Keys"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.arguments), c.outcome) << Printable(c.arguments);
}

TEST(ParseCommandLine, PortsAreThoseOffered) {
    SettingsLists lists = SettingsWindowLists();
    lists.ports = {L"COM1", L"COM3", L"COM12"};

    EXPECT_EQ(Parsed({L"COM12"}, lists), "COM12 9600 8 NONE 1");
    EXPECT_EQ(Parsed({L"com3"}, lists), "COM3 9600 8 NONE 1");
    EXPECT_EQ(Parsed({L"COM2"}, lists), "not understood: COM2");
}

// An unattended start may come before its device: at logon a USB adapter often is not there yet.
TEST(ParseCommandLine, WithOpenAnyPortFromCom1ToCom256IsTakenAndAwaitedIfNotOffered) {
    SettingsLists lists = SettingsWindowLists();
    lists.ports = {L"COM1", L"COM2", L"COM4", L"COM12"};
    const Case cases[] = {
        {{L"COM12", L"/open"}, "COM12 9600 8 NONE 1 /open"},  // offered: at its position
        {{L"COM3", L"/open"}, "COM3 9600 8 NONE 1 /open"},
        {{L"/open", L"com200:", L"baud=19200"}, "COM200 19200 8 NONE 1 /open"},
        {{L"COM256", L"/OPEN"}, "COM256 9600 8 NONE 1 /open"},
        {{L"COM257", L"/open"}, "not understood: COM257"},
        {{L"COM0", L"/open"}, "not understood: COM0"},
        {{L"COM03", L"/open"}, "not understood: COM03"},
        {{L"LPT1", L"/open"}, "not understood: LPT1"},
        {{L"COM3", L"COM5", L"/open"}, "repeated: COM5"},
        // Without /open someone is there to choose from the list.
        {{L"COM3"}, "not understood: COM3"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.arguments, lists), c.outcome) << Printable(c.arguments);
}

TEST(ParseCommandLine, CharsetNamesTheCharacterSetOnceInAnyOfItsNames) {
    const Case cases[] = {
        {{L"charset=utf-8"}, "COM1 9600 8 NONE 1 charset=utf-8"},
        {{L"CHARSET=UTF8", L"/open"}, "COM1 9600 8 NONE 1 /open charset=utf-8"},
        {{L"charset=latin1"}, "COM1 9600 8 NONE 1 charset=latin1"},
        {{L"charset=ISO-8859-1"}, "COM1 9600 8 NONE 1 charset=latin1"},
        {{L"charset=1252", L"/keys"}, "COM1 9600 8 NONE 1 /keys charset=1252"},
        {{L"charset=437"}, "COM1 9600 8 NONE 1 charset=437"},
        {{L"charset=850"}, "COM1 9600 8 NONE 1 charset=850"},
        {{L"charset=ascii"}, "COM1 9600 8 NONE 1"},
        {{L"charset=utf-16"}, "not understood: charset=utf-16"},
        {{L"charset="}, "not understood: charset="},
        {{L"charset=utf-8", L"charset=1252"}, "repeated: charset=1252"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.arguments), c.outcome) << Printable(c.arguments);
}

TEST(ParseCommandLine, AnInitialThatBeginsTwoItemsNamesNeither) {
    SettingsLists lists = SettingsWindowLists();
    lists.parities = {L"NONE", L"NINE", L"EVEN"};

    EXPECT_EQ(Parsed({L"parity=n"}, lists), "not understood: parity=n");
    EXPECT_EQ(Parsed({L"parity=nine"}, lists), "COM1 9600 8 NINE 1");
    EXPECT_EQ(Parsed({L"parity=e"}, lists), "COM1 9600 8 EVEN 1");
    EXPECT_NE(UsageText(L"Wedge", lists).find(L"\tNONE NINE EVEN, or E\n"), std::wstring::npos);
}

TEST(UsageText, NamesEveryFormAndEveryValueOffered) {
    const SettingsLists lists = SettingsWindowLists();
    const std::wstring usage = UsageText(L"Wedge", lists);

    EXPECT_EQ(usage.rfind(L"Usage: Wedge [COMn] [baud=rate] [data=bits] [parity=p] [stop=bits] [charset=set] [/open] "
                          L"[/keys]\n",
                          0),
              0u)
        << Printable(usage);
    for (const wchar_t* line :
         {L"\nCOMn\tCOM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9\n",
          L"\nbaud=\t300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200\n",
          L"\ndata=\t7 8\n", L"\nparity=\tNONE ODD EVEN MARK SPACE, or N O E M S\n",
          L"\nstop=\t1 1.5 2\n", L"\ncharset=\tascii utf-8 latin1 1252 437 850 (", L"\n/open\t", L"\n/keys\t",
          L"\n/?\t", L"default: COM1 9600 8 NONE 1 ascii.",
          L"Example: Wedge COM3 baud=19200 parity=e /open"})
        EXPECT_NE(usage.find(line), std::wstring::npos) << Printable(line);
}

TEST(UsageText, EndsWithTheVersion) {
    const std::wstring usage = UsageText(L"Wedge", SettingsWindowLists());
    const std::wstring versionLine = L"\n\nSerialKey " SERIALKEY_VERSION_TEXT;

    ASSERT_GT(usage.size(), versionLine.size());
    EXPECT_EQ(usage.substr(usage.size() - versionLine.size()), versionLine) << Printable(usage);
}

TEST(RefusalText, NamesTheArgumentAndWhyThenShowsTheUsage) {
    const SettingsLists lists = SettingsWindowLists();
    const std::wstring usage = UsageText(L"Wedge", lists);

    EXPECT_EQ(RefusalText(ParseCommandLine({L"baud=9601"}, lists), L"Wedge", lists),
              L"The argument \"baud=9601\" was not understood.\n\n" + usage);
    EXPECT_EQ(RefusalText(ParseCommandLine({L"COM1", L"COM2"}, lists), L"Wedge", lists),
              L"The argument \"COM2\" repeats a setting given before.\n\n" + usage);
}

}  // namespace
