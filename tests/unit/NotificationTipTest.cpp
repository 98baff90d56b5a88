// The notification-area icon's tip, with and without a port waiting for its device.
#include "app/NotificationTip.h"

#include <gtest/gtest.h>

namespace {

TEST(NotificationTipTest, ReadsSerialToKeyboardWhileNoPortWaits) {
    EXPECT_EQ(NotificationTip(L""), L"Serial to Keyboard");
}

TEST(NotificationTipTest, NamesThePortThatWaitsForItsDevice) {
    EXPECT_EQ(NotificationTip(L"COM12"), L"Serial to Keyboard \u2013 COM12: waiting for the device");
}

// The shell's record holds 63 characters of tip; the highest port a system gives out must fit.
TEST(NotificationTipTest, FitsTheShellsTipForAnyPortNumber) {
    EXPECT_LE(NotificationTip(L"COM9999").size(), 63u);
}

}  // namespace
