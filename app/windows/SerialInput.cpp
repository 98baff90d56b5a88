// The serial side of the program: one shared port handle, one reader and one typing thread for the whole process.
#include "app/windows/SerialInput.h"

#include "serial/PortConnection.h"

SerialInput& TheSerialInput() {
    // Never destroyed: the reader thread keeps using it while the process ends.
    static SerialInput& input = *new SerialInput;
    return input;
}

UINT ReaderThreadProc(LPVOID) { TheSerialInput().reader.Run(); }

UINT TypingThreadProc(LPVOID) {
    TheSerialInput().typing.Run();
    return 0;
}

void EndSerialInput() {
    SerialInput& input = TheSerialInput();
    input.typing.Stop();
    ClosePort(input.reopener, input.sharedPort);
}

void SetUpTyping(const StartOptions& start) {
    SerialInput& input = TheSerialInput();
    input.typing.DecodeAs(start.charset);
    if (start.keyTable) input.typing.TypeCharactersOn(nullptr);
}
