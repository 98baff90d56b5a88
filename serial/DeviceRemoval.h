// Whether a port's device is there, judged from the platform's codes.
#pragma once

#include <cstdint>

#include "serial/SerialPorts.h"

// `readError` is why the read failed, NoError for a read that ended empty; `queryError` is how the
// port's error query (the call that reads and clears its line errors) answered right after it.
bool DeviceIsGone(PortError readError, PortError queryError);

// Whether an open failed because the port's device is not there (yet), rather than because another
// program holds it.
bool DeviceIsAbsent(PortError openError);

// Told by the reader when the device of the port it read has gone.
class RemovalListener {
public:
    // `generation` names the publication of the port that was read (SharedPortHandle::Publish).
    virtual void DeviceGone(std::uint64_t generation) = 0;

protected:
    ~RemovalListener() = default;
};
