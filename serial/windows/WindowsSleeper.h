// Pauses with the Windows Sleep function.
#pragma once

#include "serial/Sleeper.h"

class WindowsSleeper final : public Sleeper {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};
