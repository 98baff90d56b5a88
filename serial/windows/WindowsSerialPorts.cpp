// Serial ports through the Windows communications functions.
#include "serial/windows/WindowsSerialPorts.h"

#include <windows.h>

#include "serial/windows/DcbLineFields.h"
#include "keys/windows/SystemError.h"

namespace {

HANDLE ToHandle(PortHandle port) { return reinterpret_cast<HANDLE>(port); }

// Why the call that has just failed failed. A driver may fail a call without
// saying why, and gets `unsaid`: the failure must still not read as success.
PortError LastError(PortError unsaid = ERROR_GEN_FAILURE) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : unsaid;
}

// For a read or an error query that fails without a reason: not one of the
// codes that tell of a removal (DeviceIsGone), which a driver has not said.
constexpr PortError UnsaidReadError = ERROR_READ_FAULT;

// What the driver buffers while the program is not reading: about a minute of a device that
// streams at 9600 baud. The default, often 4 KiB, is four seconds.
constexpr DWORD InputQueueBytes = 64 * 1024;
// The port is never written; the driver may still want a size.
constexpr DWORD OutputQueueBytes = 4 * 1024;

}  // namespace

PortHandle WindowsSerialPorts::Open(const std::string& deviceName, PortError& error) {
    // Share mode 0: nobody else can open the device while we hold it. Flags 0:
    // reads are synchronous and end under the port's time-outs.
    const HANDLE port = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        error = LastError();
        return NoPort;
    }
    error = NoError;
    // A request the driver may round or ignore: the port works with its own queue all the same.
    if (!SetupComm(port, InputQueueBytes, OutputQueueBytes)) TraceFailedCall(L"SetupComm");
    return reinterpret_cast<PortHandle>(port);
}

PortError WindowsSerialPorts::ConfigureLine(PortHandle port, const LineValues& line) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(ToHandle(port), &dcb)) {
        // The port goes on with the line it has; a guessed record would overwrite it.
        TraceFailedCall(L"GetCommState");
        return NoError;
    }
    ChangeLineFields(dcb, line);
    return SetCommState(ToHandle(port), &dcb) ? NoError : LastError();
}

PortError WindowsSerialPorts::SetReadTimeouts(PortHandle port, const ReadTimeouts& timeouts) {
    COMMTIMEOUTS record{};  // writes without time-outs: the port is never written
    record.ReadIntervalTimeout = timeouts.intervalMs;
    record.ReadTotalTimeoutMultiplier = timeouts.totalMultiplierMs;
    record.ReadTotalTimeoutConstant = timeouts.totalConstantMs;
    return SetCommTimeouts(ToHandle(port), &record) ? NoError : LastError();
}

PortError WindowsSerialPorts::Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                                   std::uint32_t& count) {
    DWORD received = 0;
    const bool succeeded = ReadFile(ToHandle(port), buffer, size, &received, nullptr) != 0;
    count = succeeded ? received : 0;
    return succeeded ? NoError : LastError(UnsaidReadError);
}

LineErrors WindowsSerialPorts::ClearError(PortHandle port) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(ToHandle(port), &errors, &status)) return {LastError(UnsaidReadError), false};
    return {NoError, (errors & (CE_RXOVER | CE_OVERRUN)) != 0};
}

void WindowsSerialPorts::CancelRead(PortHandle port) {
    // Windows ends a synchronous read blocked in another thread with this.
    // Wine 8 does not: there the read runs to its time-out (at most 400 ms).
    // Nothing to cancel is the common case: a cancel may come before the read has begun, and is
    // repeated until it has ended.
    if (!CancelIoEx(ToHandle(port), nullptr) && GetLastError() != ERROR_NOT_FOUND) TraceFailedCall(L"CancelIoEx");
}

void WindowsSerialPorts::Close(PortHandle port) {
    if (!CloseHandle(ToHandle(port))) TraceFailedCall(L"CloseHandle");
}
