// Line values written into a Windows DCB; what is not chosen stays as the port reported it.
#include "serial/windows/DcbLineFields.h"

namespace {

// The one place where parity and stop bits become the numbers a DCB holds.
BYTE DcbParity(Parity parity) {
    switch (parity) {
        case Parity::None: return NOPARITY;
        case Parity::Odd: return ODDPARITY;
        case Parity::Even: return EVENPARITY;
        case Parity::Mark: return MARKPARITY;
        case Parity::Space: return SPACEPARITY;
    }
    return NOPARITY;
}

BYTE DcbStopBits(StopBits stopBits) {
    switch (stopBits) {
        case StopBits::One: return ONESTOPBIT;
        case StopBits::OnePointFive: return ONE5STOPBITS;
        case StopBits::Two: return TWOSTOPBITS;
    }
    return ONESTOPBIT;
}

}  // namespace

void ChangeLineFields(DCB& dcb, const LineValues& line) {
    dcb.BaudRate = line.baudRate;
    // Windows supports binary transfers only. Parity checking stays on even
    // with no parity, where the driver has nothing to check.
    dcb.fBinary = 1;
    dcb.fParity = 1;
    // Off, not inherited from whatever used the port before: with it on, one
    // parity or framing error ends the read in progress, with the good bytes it
    // had received, and fails every later read until the error is cleared. Off,
    // the byte in error arrives as the driver has it and reading goes on.
    dcb.fAbortOnError = 0;
    dcb.ByteSize = line.dataBits;
    if (line.parity) dcb.Parity = DcbParity(*line.parity);
    if (line.stopBits) dcb.StopBits = DcbStopBits(*line.stopBits);
}
