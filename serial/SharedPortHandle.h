// The one shared handle through which the user-interface thread hands the open port to the reader thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "serial/SerialPorts.h"

// Open and the release of the port publish and close on the user-interface
// thread; the reopener closes a port whose device has gone and publishes it
// again once it is back. Never both at a time: Open and the release stop the
// reopener first. The reader thread waits and reads, and never starts a read
// on a port that is closed or being closed. A close cuts the read in progress
// short and closes the port once the read has ended; where the platform cannot
// cut a read short (Wine 8), the close waits for the read's time-out, at most
// 400 ms.
class SharedPortHandle {
public:
    explicit SharedPortHandle(SerialPorts& ports);

    // Hands a configured port to the reader, which may read it from now on.
    void Publish(PortHandle port);
    // Empties the shared handle and closes the port it held, if any.
    void Close();
    PortHandle Published() const;

    // Blocks, without using the processor, while the shared handle is empty.
    void WaitForPort();
    // Reads the port published at this moment; fails, with no read made, when
    // the shared handle is empty. A read that fails or ends empty is followed by the
    // port's error query: it clears a line error, so that one does not fail
    // every later read, and tells whether the device has gone.
    struct ReadResult {
        bool succeeded = false;
        std::uint32_t count = 0;
        // The port that was read, when its device has gone; NoPort otherwise.
        PortHandle goneDevice = NoPort;
    };
    ReadResult Read(std::uint8_t* buffer, std::uint32_t size);

private:
    SerialPorts& ports_;
    mutable std::mutex mutex_;
    std::condition_variable published_;
    std::condition_variable readEnded_;
    PortHandle port_ = NoPort;
    bool reading_ = false;
};
