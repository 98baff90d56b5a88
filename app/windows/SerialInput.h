// The serial side of the program: one shared port handle, one reader and one typing thread for the whole process.
#pragma once

#include <windows.h>

#include "app/CommandLine.h"
#include "app/windows/StatusNotice.h"
#include "keys/TargetWatch.h"
#include "keys/windows/SendInputSink.h"
#include "keys/windows/WindowsDesktop.h"
#include "keys/windows/WindowsKeyboardLayout.h"
#include "serial/PortReader.h"
#include "serial/PortReopener.h"
#include "serial/SharedPortHandle.h"
#include "serial/TypingGate.h"
#include "serial/TypingQueue.h"
#include "serial/windows/WindowsSerialPorts.h"
#include "serial/windows/WindowsSleeper.h"

// The reader puts what arrives into the queue and never waits for the typing, which takes it out
// on a thread of its own, at the pace the window in front allows.
struct SerialInput {
    SerialInput() { typing.TypeCharactersOn(&receivingLayout); }

    WindowsSerialPorts ports;
    WindowsSleeper sleeper;
    SendInputSink keys;
    WindowsKeyboardLayout receivingLayout;
    WindowsDesktop desktop;
    TargetWatch target{desktop};
    StatusNotice status;
    TypingQueue queue;
    TypingGate typing{queue, keys, target, sleeper, status};
    SharedPortHandle sharedPort{ports};
    PortReopener reopener{ports, sharedPort, status};
    PortReader reader{sharedPort, sleeper, queue, reopener, status};
};

SerialInput& TheSerialInput();

// How the bytes are typed, as the start asks: the character set they are in, and whether ASCII
// strikes the key table's keys whatever the receiving layout, for programs that read keys rather
// than characters. Called before the typing thread starts.
void SetUpTyping(const StartOptions& start);

// The reader thread's procedure: queues what arrives on the published port until the process ends.
UINT ReaderThreadProc(LPVOID pParam);
// The typing thread's procedure: types what the reader queued until the typing is stopped.
UINT TypingThreadProc(LPVOID pParam);

// What every way of ending does before the window goes: stops the typing between two key strokes,
// so that no Shift or Ctrl stays down for the whole system, ends any wait for a vanished device,
// and releases the port.
void EndSerialInput();
