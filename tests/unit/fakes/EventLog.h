// One ordered record of what the fakes were asked to do, shared across threads.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class EventLog {
public:
    // Appends the text this returns to every event: the state of the system
    // at the moment of the event.
    void DescribeStateWith(std::function<std::string()> describe) { describe_ = std::move(describe); }

    void Add(const std::string& event) {
        const std::string entry = describe_ ? event + describe_() : event;
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(entry);
    }

    std::vector<std::string> Events() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

private:
    std::function<std::string()> describe_;
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};
