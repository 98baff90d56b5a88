// Key events put into the system's input stream with SendInput, each call's events as one piece (Windows).
#pragma once

#include <windows.h>

#include <vector>

#include "keys/KeyStrokes.h"

class SendInputSink final : public KeyEventSink {
public:
    void Send(const KeyEvents& events) override;

private:
    UINT Insert(const KeyEvents& events);

    std::vector<INPUT> inputs_;  // kept, so that typing allocates nothing once it runs
};
