// The system's own words for why a call failed: for messages to the user, and for a trace of
// the failures the program goes on after.
#pragma once

#include <windows.h>

#include <string>

// The system's text for an error, with its number, which a support page may ask for.
std::wstring SystemErrorText(DWORD error);

// "SerialKey: `call` failed: <the system's text>", one line.
std::wstring FailedCallText(const wchar_t* call, DWORD error);
// Writes FailedCallText to the debug output (a debugger, or a viewer of debug output, shows it).
// For calls whose failure changes nothing the user sees, so that why they failed is not lost.
void TraceFailedCall(const wchar_t* call, DWORD error = GetLastError());
