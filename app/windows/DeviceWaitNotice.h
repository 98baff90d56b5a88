// Tells the settings window, from whichever thread notices, whether the port waits for its device.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "serial/PortReopener.h"

class DeviceWaitNotice final : public ReopenHost {
public:
    // From now on every change posts `message` to `window`; a null window stops the posts.
    void Attach(HWND window, UINT message);
    // The port that waits for its device; empty when none does.
    std::wstring WaitingPort() const;

    void WaitingForDevice(const std::wstring& portName) override;
    void DeviceWaitEnded() override;

private:
    void Change(const std::wstring& waitingPort);

    mutable std::mutex mutex_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::wstring waitingPort_;
};
