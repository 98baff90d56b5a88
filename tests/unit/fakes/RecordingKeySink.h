// A key-event sink that remembers every event and how they were sent, for checking sequences.
#pragma once

#include <mutex>
#include <vector>

#include "keys/KeyStrokes.h"

class RecordingKeySink final : public KeyEventSink {
public:
    void Send(const KeyEvents& events) override {
        std::lock_guard<std::mutex> lock(mutex_);
        sends_.push_back(events);
        events_.insert(events_.end(), events.begin(), events.end());
    }

    // Every event, in order, whatever the pieces they were sent in.
    KeyEvents Events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

    // The pieces, each as one call sent it.
    std::vector<KeyEvents> Sends() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sends_;
    }

private:
    mutable std::mutex mutex_;
    KeyEvents events_;
    std::vector<KeyEvents> sends_;
};
