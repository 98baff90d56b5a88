// Serial ports through the Windows communications functions.
#include "serial/windows/WindowsSerialPorts.h"

#include <windows.h>

#include "serial/windows/DcbLineFields.h"

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

// The port's DCB, held between reading and writing it back whole.
class DcbLineConfiguration final : public LineConfiguration {
public:
    explicit DcbLineConfiguration(HANDLE port) : port_(port) {}

    bool Read() override {
        dcb_.DCBlength = sizeof dcb_;
        return GetCommState(port_, &dcb_) != 0;
    }
    void Change(const LineParameters& parameters) override { ChangeLineFields(dcb_, parameters); }
    bool Write() override { return SetCommState(port_, &dcb_) != 0; }

private:
    HANDLE port_;
    DCB dcb_{};
};

}  // namespace

PortHandle WindowsSerialPorts::Open(const std::string& deviceName) {
    // Share mode 0: nobody else can open the device while we hold it. Flags 0:
    // reads are synchronous and end under the port's time-outs.
    const HANDLE port = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return NoPort;
    return reinterpret_cast<PortHandle>(port);
}

PortError WindowsSerialPorts::ConfigureLine(PortHandle port, const LineSettings& settings) {
    DcbLineConfiguration configuration(ToHandle(port));
    return ApplyLineSettings(configuration, settings) ? NoError : LastError();
}

PortError WindowsSerialPorts::SetTimeouts(PortHandle port, const PortTimeouts& timeouts) {
    COMMTIMEOUTS record{};
    record.ReadIntervalTimeout = timeouts.intervalMs;
    record.ReadTotalTimeoutMultiplier = timeouts.totalMultiplierMs;
    record.ReadTotalTimeoutConstant = timeouts.totalConstantMs;
    record.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplierMs;
    record.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
    return SetCommTimeouts(ToHandle(port), &record) ? NoError : LastError();
}

PortError WindowsSerialPorts::Read(PortHandle port, std::uint8_t* buffer, std::uint32_t size,
                                   std::uint32_t& count) {
    DWORD received = 0;
    const bool succeeded = ReadFile(ToHandle(port), buffer, size, &received, nullptr) != 0;
    count = succeeded ? received : 0;
    return succeeded ? NoError : LastError(UnsaidReadError);
}

PortError WindowsSerialPorts::ClearError(PortHandle port) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(ToHandle(port), &errors, &status) ? NoError : LastError(UnsaidReadError);
}

void WindowsSerialPorts::CancelRead(PortHandle port) {
    // Windows ends a synchronous read blocked in another thread with this.
    // Wine 8 does not: there the read runs to its time-out (at most 400 ms).
    CancelIoEx(ToHandle(port), nullptr);
}

void WindowsSerialPorts::Close(PortHandle port) { CloseHandle(ToHandle(port)); }
