// Whether strokes may go to the window in front: one look at the front per call, its owner asked
// only when another window has come to the front.
#include "keys/TargetWatch.h"

#include <gtest/gtest.h>

#include "fakes/ScriptedDesktop.h"

namespace {

constexpr Desktop::Window Front = 7;

struct FrontCase {
    const char* what;
    Desktop::Window front;
    Desktop::Owner owner;
    bool modifierHeld;
    TargetWait wait;
};

TEST(TargetWatch, DecidesFromTheWindowInFrontAndTheKeysHeld) {
    constexpr std::uint32_t Medium = ScriptedDesktop::OwnLevel, High = 0x3000, Low = 0x1000, System = 0x4000;
    const FrontCase cases[] = {
        {"another program", Front, {false, Medium}, false, TargetWait::None},
        {"another program at a lower level", Front, {false, Low}, false, TargetWait::None},
        {"the program's own window", Front, {true, std::nullopt}, false, TargetWait::OwnWindow},
        {"no window", Desktop::NoWindow, {false, Medium}, false, TargetWait::NoWindow},
        {"a program run as administrator", Front, {false, High}, false, TargetWait::Elevated},
        {"a system process", Front, {false, System}, false, TargetWait::Elevated},
        {"a process that cannot be asked", Front, {false, std::nullopt}, false, TargetWait::Unknown},
        {"a modifier held over another program", Front, {false, Medium}, true, TargetWait::ModifierHeld},
        // Held keys matter only where the strokes could go at all.
        {"a modifier held over the own window", Front, {true, std::nullopt}, true, TargetWait::OwnWindow},
        {"a modifier held over an elevated one", Front, {false, High}, true, TargetWait::Elevated},
    };
    for (const FrontCase& c : cases) {
        ScriptedDesktop desktop;
        desktop.SetOwner(Front, c.owner);
        desktop.Script([&](int) { return c.front; });
        desktop.ScriptModifiers([&](int) { return c.modifierHeld; });
        TargetWatch watch(desktop);
        EXPECT_EQ(watch.Check().wait, c.wait) << c.what;
    }
}

TEST(TargetWatch, AsksTheOwnerOnlyWhenAnotherWindowComesToTheFront) {
    ScriptedDesktop desktop;
    desktop.SetOwner(Front, {false, 0x3000});
    // Elsewhere, Elsewhere, the elevated window twice, Elsewhere again.
    desktop.Script([](int look) { return look == 3 || look == 4 ? Front : ScriptedDesktop::Elsewhere; });
    TargetWatch watch(desktop);

    const TargetWatch::Look looks[] = {watch.Check(), watch.Check(), watch.Check(), watch.Check(), watch.Check()};

    const bool changed[] = {true, false, true, false, true};
    const TargetWait waits[] = {TargetWait::None, TargetWait::None, TargetWait::Elevated, TargetWait::Elevated,
                                TargetWait::None};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(looks[i].changed, changed[i]) << "look " << i + 1;
        EXPECT_EQ(looks[i].wait, waits[i]) << "look " << i + 1;
    }
    EXPECT_EQ(desktop.Looks(), 5);
    EXPECT_EQ(desktop.OwnerQuestions(), 3);
}

TEST(TargetWatch, AsksForTheModifierKeysAtEveryLook) {
    ScriptedDesktop desktop;
    desktop.ScriptModifiers([](int look) { return look == 2; });
    TargetWatch watch(desktop);

    EXPECT_EQ(watch.Check().wait, TargetWait::None);
    EXPECT_EQ(watch.Check().wait, TargetWait::ModifierHeld);
    EXPECT_EQ(watch.Check().wait, TargetWait::None);
}

}  // namespace
