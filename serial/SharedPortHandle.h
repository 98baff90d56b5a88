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
// short and closes the port once the read, and any error query, has ended;
// where the platform cannot cut a read short (Wine 8), the close waits for the
// read's time-out, at most 400 ms.
class SharedPortHandle {
public:
    explicit SharedPortHandle(SerialPorts& ports);

    // Hands a configured port to the reader, which may read it from now on. Each
    // publication has a generation number of its own, so that a late report about an earlier
    // port is not taken for one about this, even where the platform gave it the same handle.
    void Publish(PortHandle port);
    // Empties the shared handle and closes the port it held, if any.
    void Close();
    PortHandle Published() const;
    // The generation of the latest publication.
    std::uint64_t Generation() const;
    // Whether the publication `generation` is the one that holds the port now.
    bool IsPublished(std::uint64_t generation) const;

    // Blocks, without using the processor, while the shared handle is empty.
    void WaitForPort();
    // Reads the port published at this moment; fails, with no read made, when
    // the shared handle is empty. A read that fails or ends empty is followed by the
    // port's error query: it clears a line error, so that one does not fail
    // every later read, and tells whether the device has gone.
    struct ReadResult {
        bool succeeded = false;
        std::uint32_t count = 0;
        // The publication that was read.
        std::uint64_t generation = 0;
        bool deviceGone = false;
        // The driver lost bytes before this read.
        bool overrun = false;
    };
    ReadResult Read(std::uint8_t* buffer, std::uint32_t size);

    // Asks the port published at this moment, from any thread, what its error query finds.
    struct Query {
        bool published = false;
        std::uint64_t generation = 0;
        LineErrors errors;
    };
    Query QueryErrors();

private:
    // Takes the published port for a read or a query, which a close waits for (and cuts a read
    // short); NoPort when none is published.
    PortHandle Use(std::uint64_t& generation, bool read);
    void EndUse();

    SerialPorts& ports_;
    mutable std::mutex mutex_;
    std::condition_variable published_;
    std::condition_variable used_;
    PortHandle port_ = NoPort;
    std::uint64_t generation_ = 0;
    // A read and the queries from other threads that have begun on the published port.
    bool reading_ = false;
    int users_ = 0;
};
