#include "state/Clock.h"

#include <atomic>
#include <thread>

namespace linkpanel {
namespace {

class SystemClock final : public Clock {
public:
    std::chrono::steady_clock::time_point Now() override {
        return std::chrono::steady_clock::now();
    }
    void SleepFor(std::chrono::milliseconds period) override {
        std::this_thread::sleep_for(period);
    }
};

SystemClock systemClock;
std::atomic<Clock*> installed{nullptr};

}  // namespace

Clock& CurrentClock() {
    Clock* clock = installed.load(std::memory_order_acquire);
    return clock ? *clock : systemClock;
}

void SetClock(Clock* clock) {
    installed.store(clock, std::memory_order_release);
}

}  // namespace linkpanel
