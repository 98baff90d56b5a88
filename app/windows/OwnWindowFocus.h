// Whether the keyboard focus is in one of this program's windows (Windows).
#pragma once

#include "serial/TypingGate.h"

class OwnWindowFocus final : public FocusWatch {
public:
    bool OwnWindowHasFocus() override;
};
