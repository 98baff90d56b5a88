// Whether a failed read means that the port's device has gone, judged from the platform's codes.
#pragma once

#include "serial/SerialPorts.h"

// `readError` is why the read failed, NoError for a read that ended empty; `queryError` is how the
// port's error query (the call that reads and clears its line errors) answered right after it.
bool DeviceIsGone(PortError readError, PortError queryError);

// Told by the reader when the device of the port it read has gone.
class RemovalListener {
public:
    virtual void DeviceGone(PortHandle port) = 0;

protected:
    ~RemovalListener() = default;
};
