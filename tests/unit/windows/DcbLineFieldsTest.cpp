// The chosen line values land in their DCB fields and nowhere else (Windows build).
#include "serial/windows/DcbLineFields.h"

#include <gtest/gtest.h>

#include <cstring>

#include "serial/windows/WindowsSerialPorts.h"

namespace {

// A record as a port might report it, every byte set so that a stray write shows.
DCB ReportedRecord(unsigned char fill) {
    DCB dcb;
    std::memset(&dcb, fill, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    return dcb;
}

void ExpectSameBytes(const DCB& actual, const DCB& expected) {
    EXPECT_EQ(std::memcmp(&actual, &expected, sizeof(DCB)), 0);
}

TEST(ChangeLineFields, WritesRateDataBitsParityStopBitsTurnsOnBinaryAndParityCheckingAndOffAbortOnError) {
    for (unsigned char fill : {0x00, 0xA5, 0xFF}) {
        SCOPED_TRACE(static_cast<int>(fill));
        const DCB reported = ReportedRecord(fill);
        DCB changed = reported;
        ChangeLineFields(changed, LineValues{115200, 7, Parity::Odd, StopBits::Two});

        DCB expected = reported;
        expected.BaudRate = 115200;
        expected.fBinary = 1;
        expected.fParity = 1;
        expected.fAbortOnError = 0;
        expected.ByteSize = 7;
        expected.Parity = ODDPARITY;
        expected.StopBits = TWOSTOPBITS;
        ExpectSameBytes(changed, expected);
    }
}

TEST(ChangeLineFields, KeepsTheReportedParityAndStopBitsWhenNoneIsChosen) {
    DCB reported = ReportedRecord(0x00);
    reported.Parity = EVENPARITY;
    reported.StopBits = ONE5STOPBITS;
    DCB changed = reported;
    ChangeLineFields(changed, LineValues{9600, 8, std::nullopt, std::nullopt});

    EXPECT_EQ(changed.Parity, EVENPARITY);
    EXPECT_EQ(changed.StopBits, ONE5STOPBITS);
    EXPECT_EQ(changed.BaudRate, 9600u);
    EXPECT_EQ(changed.fParity, 1u);
}

TEST(ChangeLineFields, ParityAndStopBitsBecomeTheNumbersWindowsDefines) {
    const struct {
        Parity parity;
        BYTE dcbParity;
    } parities[] = {{Parity::None, NOPARITY},
                    {Parity::Odd, ODDPARITY},
                    {Parity::Even, EVENPARITY},
                    {Parity::Mark, MARKPARITY},
                    {Parity::Space, SPACEPARITY}};
    for (const auto& c : parities) {
        DCB changed = ReportedRecord(0xA5);
        ChangeLineFields(changed, LineValues{9600, 8, c.parity, std::nullopt});
        EXPECT_EQ(changed.Parity, c.dcbParity);
    }
    const struct {
        StopBits stopBits;
        BYTE dcbStopBits;
    } stopBits[] = {{StopBits::One, ONESTOPBIT}, {StopBits::OnePointFive, ONE5STOPBITS}, {StopBits::Two, TWOSTOPBITS}};
    for (const auto& c : stopBits) {
        DCB changed = ReportedRecord(0xA5);
        ChangeLineFields(changed, LineValues{9600, 8, std::nullopt, c.stopBits});
        EXPECT_EQ(changed.StopBits, c.dcbStopBits);
    }
}

// A handle that is no serial port has no configuration to read: nothing is written, and that is
// no refusal (writing would fail and report one).
TEST(WindowsSerialPorts, LeavesAPortWhoseConfigurationCannotBeReadUntouched) {
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    ASSERT_NE(GetTempFileNameW(folder, L"sk", 0, path), 0u);
    const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DCB unread{};
    unread.DCBlength = sizeof unread;
    ASSERT_FALSE(GetCommState(file, &unread));

    WindowsSerialPorts ports;
    EXPECT_EQ(ports.ConfigureLine(reinterpret_cast<PortHandle>(file), LineValues{9600, 8, Parity::None, StopBits::One}),
              NoError);
    CloseHandle(file);
}

}  // namespace
