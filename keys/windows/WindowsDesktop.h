// The window in front, its owner's rights and the modifier keys held, as Windows tells them.
#pragma once

#include "keys/TargetWatch.h"

class WindowsDesktop final : public Desktop {
public:
    Window Front() override;
    Owner OwnerOf(Window window) override;
    std::uint32_t OwnIntegrityLevel() override;
    bool ModifierHeld() override;
};
