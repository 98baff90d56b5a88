// A desktop whose window in front a test scripts: each look at the front gets the script's answer.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "keys/TargetWatch.h"

class ScriptedDesktop final : public Desktop {
public:
    // Windows of the script: another program's, at the program's own level, and one of the
    // program's own.
    static constexpr Window Elsewhere = 1;
    static constexpr Window OwnWindow = 2;
    static constexpr std::uint32_t OwnLevel = 0x2000;  // medium

    ScriptedDesktop() {
        owners_[Elsewhere] = {false, OwnLevel};
        owners_[OwnWindow] = {true, std::nullopt};
    }

    // Answers the n-th look at the front, counted from 1, with script(n); the script may also act
    // at that moment. Without a script another program's window is in front. Set it before the
    // looking starts.
    void Script(std::function<Window(int look)> script) { script_ = std::move(script); }
    // Who owns `window`, for windows beyond the two above.
    void SetOwner(Window window, Owner owner) { owners_[window] = owner; }
    // The modifier keys as the n-th look at them finds them.
    void ScriptModifiers(std::function<bool(int look)> held) { modifiers_ = std::move(held); }

    Window Front() override {
        ++looks_;
        return script_ ? script_(looks_) : Elsewhere;
    }
    Owner OwnerOf(Window window) override {
        ++ownerQuestions_;
        return owners_.at(window);
    }
    std::uint32_t OwnIntegrityLevel() override { return OwnLevel; }
    bool ModifierHeld() override { return modifiers_ && modifiers_(++modifierLooks_); }

    int Looks() const { return looks_; }
    int OwnerQuestions() const { return ownerQuestions_; }

private:
    std::function<Window(int)> script_;
    std::function<bool(int)> modifiers_;
    std::map<Window, Owner> owners_;
    int looks_ = 0;
    int ownerQuestions_ = 0;
    int modifierLooks_ = 0;
};
