// The facts about the desktop that decide whether strokes may go, read from the system (Windows build).
#include "keys/windows/WindowsDesktop.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(WindowsDesktop, ReadsTheProgramsOwnIntegrityLevel) {
    // Untrusted, low, medium, medium plus, high or system. Wine gives every process high.
    const std::uint32_t level = WindowsDesktop().OwnIntegrityLevel();
    EXPECT_TRUE(level == 0 || level == 0x1000 || level == 0x2000 || level == 0x2100 || level == 0x3000 ||
                level == 0x4000)
        << std::hex << level;
}

TEST(WindowsDesktop, FindsNoModifierHeldWhenNoneIs) { EXPECT_FALSE(WindowsDesktop().ModifierHeld()); }

}  // namespace
