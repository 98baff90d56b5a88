// Line parameters written into a Windows DCB; what the user does not choose stays as the port reported it.
#include "serial/windows/DcbLineFields.h"

void ChangeLineFields(DCB& dcb, const LineParameters& parameters) {
    dcb.BaudRate = parameters.baudRate;
    // Windows supports binary transfers only. Parity checking stays on even
    // with no parity, where the driver has nothing to check.
    dcb.fBinary = 1;
    dcb.fParity = 1;
    // Off, not inherited from whatever used the port before: with it on, one
    // parity or framing error ends the read in progress, with the good bytes it
    // had received, and fails every later read until the error is cleared. Off,
    // the byte in error arrives as the driver has it and reading goes on.
    dcb.fAbortOnError = 0;
    dcb.ByteSize = parameters.byteSize;
    if (parameters.parity) dcb.Parity = *parameters.parity;
    if (parameters.stopBits) dcb.StopBits = *parameters.stopBits;
}
