// Time as the core sees it. Production sleeps for real; unit tests install a clock of
// their own so the state machines run without sleeping through the periods.
#pragma once

#include <chrono>

namespace linkpanel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::steady_clock::time_point Now() = 0;
    virtual void SleepFor(std::chrono::milliseconds period) = 0;
};

// The clock in use: the steady system clock unless a test installed another.
Clock& CurrentClock();
// Installs a clock (nullptr restores the system clock). Call before workers start.
void SetClock(Clock* clock);

inline void Sleep(std::chrono::milliseconds period) {
    CurrentClock().SleepFor(period);
}

}  // namespace linkpanel
