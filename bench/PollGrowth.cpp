// Memory over many polls: the supervision cycle driven in-process on a clock that does not
// sleep, with a router that answers every status request. Prints the resident set after a
// warm-up and after the polls; a leak per poll shows as growth.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <string>

#include "state/Clock.h"
#include "state/Desktop.h"
#include "state/LinkState.h"
#include "supervision/Supervision.h"

namespace linkpanel {
namespace {

class FastClock : public Clock {
public:
    std::chrono::steady_clock::time_point Now() override { return now_; }
    void SleepFor(std::chrono::milliseconds period) override { now_ += period; }

private:
    std::chrono::steady_clock::time_point now_{};
};

// The router answers every status request at once; threads run inline after the poll.
class AnsweringPlatform : public SupervisionPlatform {
public:
    void EnumerateLocalAddresses() override {}
    void CloseEndpoint() override {}
    void OpenEndpoint(const std::string&) override {}
    void SendCommand(int) override {
        Link().Update([](LinkState& s) { s.statusReceived = true; });
    }
    void StartThread(std::function<void()> work) override { threads.push_back(std::move(work)); }
    void RunThreads() {
        while (!threads.empty()) {
            auto work = std::move(threads.front());
            threads.pop_front();
            work();
        }
    }
    std::deque<std::function<void()>> threads;
};

// Composes the tray texts as the desktop would, so that their strings are exercised too.
class CountingDesktop : public Desktop {
public:
    void UpdateTrayIcon(const std::string& tip, TrayPicture) override { bytes += tip.size(); }
    std::size_t bytes = 0;
};

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

}  // namespace
}  // namespace linkpanel

int main(int argc, char** argv) {
    using namespace linkpanel;
    const int polls = argc > 1 ? std::atoi(argv[1]) : 1000;
    FastClock clock;
    AnsweringPlatform platform;
    CountingDesktop desktop;
    Link().Reset();
    Link().Update([&](LinkState& s) {
        s.mainWindow = &desktop;
        s.routerFound = true;
    });
    SetClock(&clock);
    SetSupervisionPlatform(&platform);
    auto poll = [&] {
        OnTimerEvent();
        platform.RunThreads();
    };
    for (int i = 0; i < 100; ++i)
        poll();
    const long before = ResidentKb();
    for (int i = 0; i < polls; ++i)
        poll();
    const long after = ResidentKb();
    SetSupervisionPlatform(nullptr);
    SetClock(nullptr);
    Link().Update([](LinkState& s) { s.mainWindow = nullptr; });
    std::printf("polls %d rss_before_kb %ld rss_after_kb %ld found %d\n", polls, before, after,
                Link().Snapshot().routerFound ? 1 : 0);
    return 0;
}
