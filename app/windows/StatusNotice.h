// Tells the settings window, from whichever thread notices, what keeps the typing back (a port that
// waits for its device, a window in front that cannot take the keys) and what was lost.
#pragma once

#include <windows.h>

#include <mutex>

#include "app/NotificationTip.h"
#include "serial/PortReader.h"
#include "serial/PortReopener.h"
#include "serial/TypingGate.h"

class StatusNotice final : public ReopenHost, public TypingListener, public LossListener {
public:
    // From now on a change posts `message` to `window`, unless one posted before is not handled
    // yet; a null window stops the posts.
    void Attach(HWND window, UINT message);
    // The status now; from here on the next change is posted again.
    TipStatus Status();
    // Open starts afresh: what the port before it lost is forgotten.
    void ForgetLosses();

    void WaitingForDevice(const std::wstring& portName) override;
    void DeviceWaitEnded() override;
    void TypingWaits(TargetWait why) override;
    void DriverOverran() override;
    void BytesLost(std::size_t count) override;

private:
    template <typename Change>
    void Update(Change change);

    mutable std::mutex mutex_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    bool posted_ = false;
    TipStatus status_;
};
