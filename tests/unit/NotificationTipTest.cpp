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
    };
    for (const TipCase& c : cases) EXPECT_EQ(NotificationTip(c.status), c.tip);
}

// The shell's record holds 127 characters of tip; the longest tip, with the highest port a system
// gives out, must fit.
TEST(NotificationTipTest, FitsTheShellsTipWhateverItTells) {
    for (const TargetWait why : {TargetWait::NoWindow, TargetWait::Elevated, TargetWait::Unknown,
                                 TargetWait::ModifierHeld})
        EXPECT_LE(NotificationTip({L"COM9999", why}).size(), 127u);
}

}  // namespace
