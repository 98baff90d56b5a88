// The notification-area icon's tip: the program's name, and what keeps the typing back.
#include "app/NotificationTip.h"

#include <gtest/gtest.h>

namespace {

struct TipCase {
    TipStatus status;
    const wchar_t* tip;
};

TEST(NotificationTipTest, TellsWhatKeepsTheTypingBack) {
    const TipCase cases[] = {
        {{L"", TargetWait::None}, L"Serial to Keyboard"},
        {{L"", TargetWait::OwnWindow}, L"Serial to Keyboard"},
        {{L"COM12", TargetWait::None}, L"Serial to Keyboard \u2013 COM12: waiting for the device"},
        {{L"", TargetWait::NoWindow}, L"Serial to Keyboard \u2013 waiting: no window has the focus"},
        {{L"", TargetWait::Elevated}, L"Serial to Keyboard \u2013 waiting: the window in front runs as administrator"},
        {{L"", TargetWait::Unknown},
         L"Serial to Keyboard \u2013 waiting: the window in front may run as administrator"},
        {{L"", TargetWait::ModifierHeld},
         L"Serial to Keyboard \u2013 waiting: Shift, Ctrl, Alt or Windows key held down"},
        {{L"COM3", TargetWait::Elevated},
         L"Serial to Keyboard \u2013 COM3: waiting for the device; waiting: the window in front runs as administrator"},
        {{L"", TargetWait::None, 1200}, L"Serial to Keyboard \u2013 1200 received bytes lost"},
        {{L"", TargetWait::None, 0, 2}, L"Serial to Keyboard \u2013 received bytes lost by the serial driver"},
        {{L"", TargetWait::ModifierHeld, 7, 1},
         L"Serial to Keyboard \u2013 7 received bytes lost, and more by the serial driver; "
         L"waiting: Shift, Ctrl, Alt or Windows key held down"},
        // What does not fit goes, the least important first.
        {{L"COM256", TargetWait::Unknown, 123456789, 1},
         L"Serial to Keyboard \u2013 123456789 received bytes lost, and more by the serial driver; "
         L"COM256: waiting for the device"},
    };
    for (const TipCase& c : cases) EXPECT_EQ(NotificationTip(c.status), c.tip);
}

// The shell's record holds 127 characters of tip; each reason on its own, with the highest port a
// system gives out and the most bytes, fits.
TEST(NotificationTipTest, FitsTheShellsTipWhateverItTells) {
    for (const TargetWait why : {TargetWait::NoWindow, TargetWait::Elevated, TargetWait::Unknown,
                                 TargetWait::ModifierHeld}) {
        const std::wstring tip = NotificationTip({L"COM9999", why, UINT64_MAX, 1});
        EXPECT_LE(tip.size(), 127u);
        EXPECT_NE(tip.find(L"bytes lost"), std::wstring::npos);
        EXPECT_NE(NotificationTip({L"COM9999", why}).find(L"waiting:"), std::wstring::npos);
    }
}

}  // namespace
