// One read cycle: wait for a port, pause, read up to 20 bytes, queue them for typing or back off.
#include "serial/PortReader.h"

#include <chrono>

namespace {

constexpr std::chrono::milliseconds PauseBeforeRead{100};
// After an empty or failed read: a port that keeps failing is not hammered.
constexpr std::chrono::milliseconds BackOffAfterEmptyRead{50};
// A driver that overflows does so while bytes keep coming, when every read brings some: the
// port's errors are asked after this many of them too, not only after an empty read. The
// overflow flags wait for the question, so none is missed, and the question costs a call.
constexpr int ReadsBetweenErrorQueries = 32;

}  // namespace

PortReader::PortReader(SharedPortHandle& sharedPort, Sleeper& sleeper, TypingQueue& queue,
                       RemovalListener& removals, LossListener& losses)
    : sharedPort_(sharedPort), sleeper_(sleeper), queue_(queue), removals_(removals), losses_(losses) {}

void PortReader::Run() {
    for (;;) RunCycle();
}

void PortReader::RunCycle() {
    sharedPort_.WaitForPort();
    // A full read means more bytes are likely waiting: pausing then would let
    // a fast sender overflow the driver's input queue.
    if (!lastReadFilled_) sleeper_.Sleep(PauseBeforeRead);

    // Taken before the read: a drop that comes while it runs takes its bytes too.
    const std::uint64_t generation = queue_.Generation();
    const SharedPortHandle::ReadResult read = sharedPort_.Read(buffer_, ReadSize);
    lastReadFilled_ = read.succeeded && read.count == ReadSize;
    bool overrun = read.overrun;
    if (read.succeeded && read.count > 0) {
        if (const std::size_t lost = queue_.Put(buffer_, read.count, generation)) losses_.BytesLost(lost);
        if (++readsSinceErrorQuery_ >= ReadsBetweenErrorQueries) {
            readsSinceErrorQuery_ = 0;
            overrun = sharedPort_.QueryErrors().errors.overrun;
        }
    } else {
        readsSinceErrorQuery_ = 0;
        if (read.deviceGone) removals_.DeviceGone(read.generation);
        sleeper_.Sleep(BackOffAfterEmptyRead);
    }
    if (overrun) losses_.DriverOverran();
}
