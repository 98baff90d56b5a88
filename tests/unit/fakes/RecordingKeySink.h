// A key-event sink that remembers every event, for checking sequences.
#pragma once

#include <mutex>
#include <vector>

#include "keys/KeyStrokes.h"

class RecordingKeySink final : public KeyEventSink {
public:
    void Emit(const KeyEvent& event) override {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }

    std::vector<KeyEvent> Events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<KeyEvent> events_;
};
