// The chosen line parameters land in their DCB fields and nowhere else (Windows build).
#include "serial/windows/DcbLineFields.h"

#include <gtest/gtest.h>

#include <cstring>

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
        ChangeLineFields(changed, LineParameters{115200, 7, OddParity, TwoStopBits});

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
    ChangeLineFields(changed, LineParameters{9600, 8, std::nullopt, std::nullopt});

    EXPECT_EQ(changed.Parity, EVENPARITY);
    EXPECT_EQ(changed.StopBits, ONE5STOPBITS);
    EXPECT_EQ(changed.BaudRate, 9600u);
    EXPECT_EQ(changed.fParity, 1u);
}

TEST(ChangeLineFields, CodesAreTheOnesWindowsDefines) {
    EXPECT_EQ(NoParity, NOPARITY);
    EXPECT_EQ(OddParity, ODDPARITY);
    EXPECT_EQ(EvenParity, EVENPARITY);
    EXPECT_EQ(MarkParity, MARKPARITY);
    EXPECT_EQ(SpaceParity, SPACEPARITY);
    EXPECT_EQ(OneStopBit, ONESTOPBIT);
    EXPECT_EQ(OnePointFiveStopBits, ONE5STOPBITS);
    EXPECT_EQ(TwoStopBits, TWOSTOPBITS);
}

}  // namespace
