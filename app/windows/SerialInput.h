// The serial side of the program: one port slot and one reader for the whole process.
#pragma once

#include <windows.h>

#include "keys/windows/KeybdEventSink.h"
#include "serial/PortReader.h"
#include "serial/SharedPortHandle.h"
#include "serial/windows/WindowsSerialPorts.h"
#include "serial/windows/WindowsSleeper.h"

struct SerialInput {
    WindowsSerialPorts ports;
    WindowsSleeper sleeper;
    KeybdEventSink keys;
    SharedPortHandle slot{ports};
    PortReader reader{slot, sleeper, keys};
};

SerialInput& TheSerialInput();

// The reader thread's procedure: types what arrives on the published port until the process ends.
UINT ReaderThreadProc(LPVOID pParam);

// Releases the port that is open, if any.
void ClosePort();
