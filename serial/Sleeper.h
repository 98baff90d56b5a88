// Pauses the calling thread: the real clock in the program, a recorder in tests.
#pragma once

#include <chrono>

class Sleeper {
public:
    virtual void Sleep(std::chrono::milliseconds duration) = 0;

protected:
    ~Sleeper() = default;
};
