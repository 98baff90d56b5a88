// The settings window's list items, written out as its resources hold them, for reading command
// lines without the resources; a test of the Windows build checks them against the resources.
#pragma once

#include "app/CommandLine.h"

inline SettingsLists SettingsWindowLists() {
    return {
        {L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6", L"COM7", L"COM8", L"COM9"},
        {L"300", L"600", L"1200", L"2400", L"4800", L"9600", L"14400", L"19200", L"38400", L"56000", L"57600",
         L"115200"},
        {L"7", L"8"},
        {L"NONE", L"ODD", L"EVEN", L"MARK", L"SPACE"},
        {L"1", L"1.5", L"2"},
    };
}
