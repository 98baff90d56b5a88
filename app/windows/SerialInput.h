// The serial side of the program: one shared port handle and one reader for the whole process.
#pragma once

#include <windows.h>

#include "app/windows/StatusNotice.h"
#include "keys/TargetWatch.h"
#include "keys/windows/SendInputSink.h"
#include "keys/windows/WindowsDesktop.h"
#include "keys/windows/WindowsKeyboardLayout.h"
#include "serial/PortReader.h"
#include "serial/PortReopener.h"
#include "serial/SharedPortHandle.h"
#include "serial/TypingGate.h"
#include "serial/windows/WindowsSerialPorts.h"
#include "serial/windows/WindowsSleeper.h"

struct SerialInput {
    SerialInput() { typing.TypeCharactersOn(&receivingLayout); }

    WindowsSerialPorts ports;
    WindowsSleeper sleeper;
    SendInputSink keys;
    WindowsKeyboardLayout receivingLayout;
    WindowsDesktop desktop;
    TargetWatch target{desktop};
    StatusNotice status;
    TypingGate typing{keys, target, sleeper, status};
    SharedPortHandle sharedPort{ports};
    PortReopener reopener{ports, sharedPort, status};
    PortReader reader{sharedPort, sleeper, typing, reopener};
};

SerialInput& TheSerialInput();

// From now on every byte strikes the key table's keys, whatever the receiving layout: for
// programs that read keys rather than characters. Called before the reader thread starts.
void TypeKeyTable();

// The reader thread's procedure: types what arrives on the published port until the process ends.
UINT ReaderThreadProc(LPVOID pParam);

// What every way of ending does before the window goes: stops the typing between two key strokes,
// so that no Shift or Ctrl stays down for the whole system, ends any wait for a vanished device,
// and releases the port.
void EndSerialInput();
