// Key events delivered to the focused window through the system's input stream (Windows).
#pragma once

#include "keys/KeyStrokes.h"

class KeybdEventSink final : public KeyEventSink {
public:
    void Emit(const KeyEvent& event) override;
};
