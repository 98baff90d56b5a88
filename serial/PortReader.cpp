// One read cycle: wait for a port, pause, read up to 20 bytes, type them or back off.
#include "serial/PortReader.h"

#include <chrono>

namespace {

constexpr std::chrono::milliseconds PauseBeforeRead{100};
// After an empty or failed read: a port that keeps failing is not hammered.
constexpr std::chrono::milliseconds BackOffAfterEmptyRead{50};

}  // namespace

PortReader::PortReader(SharedPortHandle& slot, Sleeper& sleeper, KeyEventSink& keys)
    : slot_(slot), sleeper_(sleeper), keys_(keys) {}

void PortReader::Run() {
    for (;;) RunCycle();
}

void PortReader::RunCycle() {
    slot_.WaitForPort();
    // A full read means more bytes are likely waiting: pausing then would let
    // a fast sender overflow the driver's input queue.
    if (!lastReadFilled_) sleeper_.Sleep(PauseBeforeRead);

    std::uint32_t count = 0;
    const bool succeeded = slot_.Read(buffer_, ReadSize, count);
    lastReadFilled_ = succeeded && count == ReadSize;
    if (succeeded && count > 0) {
        if (layout_)
            SendBytesAsCharacters(keys_, *layout_, buffer_, count);
        else
            SendBytesAsKeys(keys_, buffer_, count);
    } else {
        sleeper_.Sleep(BackOffAfterEmptyRead);
    }
}
