// Line parameters written into a Windows DCB, every other field left as the port reported it.
#include "serial/windows/DcbLineFields.h"

void ChangeLineFields(DCB& dcb, const LineParameters& parameters) {
    dcb.BaudRate = parameters.baudRate;
    // Windows supports binary transfers only. Parity checking stays on even
    // with no parity, where the driver has nothing to check.
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.ByteSize = parameters.byteSize;
    if (parameters.parity) dcb.Parity = *parameters.parity;
    if (parameters.stopBits) dcb.StopBits = *parameters.stopBits;
}
