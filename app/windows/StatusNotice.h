// Tells the settings window, from whichever thread notices, what keeps the typing back: a port that
// waits for its device, a window in front that cannot take the keys.
#pragma once

#include <windows.h>

#include <mutex>

#include "app/NotificationTip.h"
#include "serial/PortReopener.h"
#include "serial/TypingGate.h"

class StatusNotice final : public ReopenHost, public TypingListener {
public:
    // From now on every change posts `message` to `window`; a null window stops the posts.
    void Attach(HWND window, UINT message);
    TipStatus Status() const;

    void WaitingForDevice(const std::wstring& portName) override;
    void DeviceWaitEnded() override;
    void TypingWaits(TargetWait why) override;

private:
    template <typename Change>
    void Update(Change change);

    mutable std::mutex mutex_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    TipStatus status_;
};
