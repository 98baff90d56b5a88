// Where the keyboard focus is, as a test scripts it: each look at the focus gets the script's answer.
#pragma once

#include <functional>
#include <utility>

#include "serial/TypingGate.h"

class ScriptedFocus final : public FocusWatch {
public:
    // Answers the n-th look, counted from 1, with script(n); the script may also act at that
    // moment. Without a script the focus is in another program's window. Set it before the
    // looking starts.
    void Script(std::function<bool(int look)> script) { script_ = std::move(script); }

    bool OwnWindowHasFocus() override {
        ++looks_;
        return script_ && script_(looks_);
    }

    int Looks() const { return looks_; }

private:
    std::function<bool(int)> script_;
    int looks_ = 0;
};
