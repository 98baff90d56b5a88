// The command line: the settings to start with, and whether to open the port at once.
#pragma once

#include <string>
#include <vector>

#include "keys/CharacterDecoder.h"
#include "serial/LineSettings.h"

// The items that the settings window's lists offer, each list in position order. A value on the
// command line must be one of them.
struct SettingsLists {
    std::vector<std::wstring> ports;
    std::vector<std::wstring> bauds;
    std::vector<std::wstring> dataBits;
    std::vector<std::wstring> parities;
    std::vector<std::wstring> stopBits;
};

// How the program starts.
struct StartOptions {
    LineSettings settings = DefaultLineSettings;
    // The port to start with, by name: the offered port at `settings.portIndex`, or with `open` a
    // port that the system does not have yet (`settings.portIndex` -1), which is then waited for.
    // Empty when the lists offer no port at all.
    std::wstring port;
    // Press Open at once and type from the notification area, without showing the window.
    bool open = false;
    // Strike the key table's keys on every layout instead of typing the characters themselves.
    bool keyTable = false;
    // The character set that the device sends.
    Charset charset = Charset::Ascii;
};

struct CommandLine {
    enum Action {
        Start,      // with `start`
        ShowUsage,  // the user asked for it
        Refuse,     // `argument` is not understood or repeats a setting: nothing starts
    };
    enum Problem {
        NotUnderstood,
        Repeated,
    };

    Action action = Start;
    StartOptions start;
    std::wstring argument;
    Problem problem = NotUnderstood;
};

// Reads the arguments (without the program's name) in the form of the `mode` command:
//
//     COM3 baud=19200 data=8 parity=e stop=1 charset=utf-8 /open /keys
//
// in any order, each at most once, upper or lower case. What is not given keeps its default.
// Parity also takes the initial of its word. "/?" anywhere asks for the usage. A port must be one
// the lists offer, except with /open: an unattended start may come before its device, and takes
// any port from COM1 to COM256.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments, const SettingsLists& lists);

// The accepted forms, with the values that the lists offer and the defaults; last, the version.
std::wstring UsageText(const std::wstring& programName, const SettingsLists& lists);

// What the program says when it refuses an argument: which one and why, then the usage.
std::wstring RefusalText(const CommandLine& refused, const std::wstring& programName, const SettingsLists& lists);
