// One read cycle: wait for a port, pause, read up to 20 bytes, type them or back off.
#include "serial/PortReader.h"

#include <chrono>

namespace {

constexpr std::chrono::milliseconds PauseBeforeRead{100};
// After an empty or failed read: a port that keeps failing is not hammered.
constexpr std::chrono::milliseconds BackOffAfterEmptyRead{50};

}  // namespace

PortReader::PortReader(SharedPortHandle& sharedPort, Sleeper& sleeper, TypingGate& typing,
                       RemovalListener& removals)
    : sharedPort_(sharedPort), sleeper_(sleeper), typing_(typing), removals_(removals) {}

void PortReader::Run() {
    for (;;) RunCycle();
}

void PortReader::RunCycle() {
    sharedPort_.WaitForPort();
    // A full read means more bytes are likely waiting: pausing then would let
    // a fast sender overflow the driver's input queue.
    if (!lastReadFilled_) sleeper_.Sleep(PauseBeforeRead);

    typing_.StartBatch();
    const SharedPortHandle::ReadResult read = sharedPort_.Read(buffer_, ReadSize);
    lastReadFilled_ = read.succeeded && read.count == ReadSize;
    if (read.succeeded && read.count > 0) {
        typing_.Type(buffer_, read.count);
    } else {
        if (read.goneDevice != NoPort) removals_.DeviceGone(read.goneDevice);
        sleeper_.Sleep(BackOffAfterEmptyRead);
    }
}
