// The serial side of the program: one shared port handle and one reader for the whole process.
#include "app/windows/SerialInput.h"

#include "serial/PortConnection.h"

SerialInput& TheSerialInput() {
    // Never destroyed: the reader thread keeps using it while the process ends.
    static SerialInput& input = *new SerialInput;
    return input;
}

UINT ReaderThreadProc(LPVOID) { TheSerialInput().reader.Run(); }

void EndSerialInput() {
    SerialInput& input = TheSerialInput();
    input.typing.Stop();
    ClosePort(input.reopener, input.sharedPort);
}

void TypeKeyTable() { TheSerialInput().typing.TypeCharactersOn(nullptr); }
