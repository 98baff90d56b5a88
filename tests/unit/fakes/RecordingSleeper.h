// A sleeper that notes each pause and returns at once.
#pragma once

#include <string>

#include "EventLog.h"
#include "serial/Sleeper.h"

class RecordingSleeper final : public Sleeper {
public:
    explicit RecordingSleeper(EventLog& log) : log_(log) {}

    void Sleep(std::chrono::milliseconds duration) override {
        log_.Add("sleep " + std::to_string(duration.count()) + " ms");
    }

private:
    EventLog& log_;
};
