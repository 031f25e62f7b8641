// The discovery and polling state machines, driven on a virtual clock with a platform
// that records what the workers ask of the network. Threads are run inline, in order.
#include "supervision/Supervision.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "protocol/Datagram.h"
#include "protocol/Endpoint.h"
#include "state/Clock.h"
#include "state/Desktop.h"
#include "state/LinkState.h"

namespace linkpanel {
namespace {

using std::chrono::milliseconds;

class VirtualClock : public Clock {
public:
    std::chrono::steady_clock::time_point Now() override { return start_ + now; }
    void SleepFor(milliseconds period) override {
        const milliseconds until = now + period;
        // Whatever is due during the sleep happens during it, in time order.
        while (!due.empty() && due.begin()->first <= until) {
            auto [at, what] = *due.begin();
            due.erase(due.begin());
            now = at;
            what();
        }
        now = until;
    }
    void At(milliseconds at, std::function<void()> what) { due.emplace(at, std::move(what)); }

    milliseconds now{0};
    std::multimap<milliseconds, std::function<void()>> due;

private:
    std::chrono::steady_clock::time_point start_{};
};

class RecordingPlatform : public SupervisionPlatform {
public:
    RecordingPlatform(VirtualClock& clock, std::vector<std::string>& events)
        : clock_(clock), events_(events) {}

    void EnumerateLocalAddresses() override {
        events_.push_back("enumerate");
        LocalAddressList& list = LocalAddresses();
        list.count = 0;
        for (const std::string& a : addresses) {
            list.addresses[list.count++] = a;
        }
    }
    void CloseEndpoint() override { events_.push_back("close"); }
    void OpenEndpoint(const std::string& address) override {
        events_.push_back("open " + address);
        open_ = address;
    }
    void SendCommand(int selector) override {
        events_.push_back("send " + std::to_string(selector));
        // The router behind routerAt answers discovery at once.
        if (selector == CMD_DISCOVER && !routerAt.empty() && open_ == routerAt) {
            Link().Update([](LinkState& s) { s.routerFound = true; });
            events_.push_back("found");
        }
        clock_.SleepFor(milliseconds(100) * EncodeRequest(selector, "").copies);
    }
    void StartThread(std::function<void()> work) override {
        events_.push_back("thread");
        threads.push_back(std::move(work));
    }
    void RunThreads() {
        while (!threads.empty()) {
            auto work = std::move(threads.front());
            threads.pop_front();
            work();
        }
    }

    std::vector<std::string> addresses;
    std::string routerAt;
    std::deque<std::function<void()>> threads;

private:
    VirtualClock& clock_;
    std::vector<std::string>& events_;
    std::string open_;
};

class RecordingDesktop : public Desktop {
public:
    explicit RecordingDesktop(std::vector<std::string>& events) : events_(events) {}
    void SetLinkPicture(LinkPicture which, bool shown) override {
        events_.push_back("picture " + std::to_string(static_cast<int>(which)) +
                          (shown ? " shown" : " cleared"));
    }
    void UpdateTrayIcon(const std::string& tip, TrayPicture picture) override {
        events_.push_back("tray " + std::to_string(static_cast<int>(picture)) + " " + tip);
    }

private:
    std::vector<std::string>& events_;
};

class Supervision : public ::testing::Test {
protected:
    void SetUp() override {
        Link().Reset();
        Link().Update([&](LinkState& s) { s.mainWindow = &desktop; });
        SetClock(&clock);
        SetSupervisionPlatform(&platform);
    }
    void TearDown() override {
        platform.RunThreads();
        SetSupervisionPlatform(nullptr);
        SetClock(nullptr);
        Link().Update([](LinkState& s) { s.mainWindow = nullptr; });
        Link().Reset();
    }
    std::vector<std::string> events;
    VirtualClock clock;
    RecordingPlatform platform{clock, events};
    RecordingDesktop desktop{events};
};

TEST_F(Supervision, OnlyTheSecondAddressLeadsToTheRouter) {
    platform.addresses = {"10.0.0.5", "192.168.2.10"};
    platform.routerAt = "192.168.2.10";
    EXPECT_EQ(DiscoveryWorker(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"enumerate", "close", "open 10.0.0.5", "send 1",
                                                "send 2", "close", "open 192.168.2.10", "send 1",
                                                "found", "send 2"}));
    // Two full cycles of 100 + 500 + 3000 ms: the worker ends at the third check.
    EXPECT_EQ(clock.now, milliseconds(7200));
    EXPECT_FALSE(Link().Snapshot().infoReceived);
}

TEST_F(Supervision, WithNoRouterCyclesAlternateBetweenOpeningAndReenumerating) {
    platform.addresses = {"10.0.0.5"};
    clock.At(milliseconds(2 * (3600 + 3500) - 1),
             [] { Link().Update([](LinkState& s) { s.routerFound = true; }); });
    DiscoveryWorker();
    EXPECT_EQ(events, (std::vector<std::string>{"enumerate",                                   //
                                                "close", "open 10.0.0.5", "send 1", "send 2",  //
                                                "enumerate", "send 2",                         //
                                                "close", "open 10.0.0.5", "send 1", "send 2",  //
                                                "enumerate", "send 2"}));
}

TEST_F(Supervision, AnEmptyListReenumeratesEveryCycle) {
    clock.At(milliseconds(3 * 3500 - 1),
             [] { Link().Update([](LinkState& s) { s.routerFound = true; }); });
    DiscoveryWorker();
    EXPECT_EQ(events, (std::vector<std::string>{"enumerate", "enumerate", "send 2", "enumerate",
                                                "send 2", "enumerate", "send 2"}));
}

TEST_F(Supervision, AReplyDuringThePauseEndsTheWorkerAtTheEndOfThePause) {
    platform.addresses = {"192.168.2.10", "10.0.0.5"};
    clock.At(milliseconds(1600), [] { Link().Update([](LinkState& s) { s.routerFound = true; }); });
    DiscoveryWorker();
    EXPECT_EQ(clock.now, milliseconds(3600));
    EXPECT_EQ(events, (std::vector<std::string>{"enumerate", "close", "open 192.168.2.10", "send 1",
                                                "send 2"}));
}

TEST_F(Supervision, ALossWhileAWorkerRunsMakesItStartOverInsteadOfStartingASecond) {
    platform.addresses = {"10.0.0.5", "10.0.1.5", "192.168.2.10"};
    StartDiscovery();
    ASSERT_EQ(platform.threads.size(), 1u);
    auto worker = std::move(platform.threads.front());
    platform.threads.clear();
    // In the middle of the second cycle, a new discovery is asked for.
    clock.At(milliseconds(5000), [&] { StartDiscovery(); });
    clock.At(milliseconds(9000), [] { Link().Update([](LinkState& s) { s.routerFound = true; }); });
    worker();
    EXPECT_TRUE(platform.threads.empty()) << "a second worker was started";
    EXPECT_EQ(events, (std::vector<std::string>{"thread", "enumerate",                         //
                                                "close", "open 10.0.0.5", "send 1", "send 2",  //
                                                "close", "open 10.0.1.5", "send 1", "send 2",  //
                                                "enumerate",  // starts over: the first address
                                                "close", "open 10.0.0.5", "send 1", "send 2"}));
    // Once it has returned, the next request starts a new worker.
    StartDiscovery();
    EXPECT_EQ(platform.threads.size(), 1u);
    Link().Update([](LinkState& s) { s.routerFound = true; });
}

// Poll outcomes, one letter a poll: 'a' answered, 's' silent, 'f' the router is found again
// (a discovery reply, without a poll). The expectation is missCount after each poll's check
// and whether that check declared the loss.
struct PollCase {
    const char* name;
    const char* outcomes;
    std::vector<int> missCounts;
    std::vector<bool> losses;
};

TEST_F(Supervision, PollsDeclareALossAfterTwoSilentChecksAndOneAfterAnEarlierLoss) {
    const std::vector<PollCase> cases = {
        {"silent router", "ass", {0, 1, 2}, {false, false, true}},
        {"answers every other poll",
         "asasasas",
         {0, 1, 0, 1, 0, 1, 0, 1},
         {false, false, false, false, false, false, false, false}},
        {"after a rediscovery one silent poll suffices",
         "assfs",
         {0, 1, 2, 2, 2},
         {false, false, true, false, true}},
        {"one answer after the rediscovery resets the count",
         "assfas",
         {0, 1, 2, 2, 0, 1},
         {false, false, true, false, false, false}},
    };
    for (const PollCase& c : cases) {
        SCOPED_TRACE(c.name);
        Link().Update([](LinkState& s) {
            s.routerFound = true;
            s.missCount = 0;
        });
        std::size_t check = 0;
        for (const char* o = c.outcomes; *o; ++o, ++check) {
            events.clear();
            if (*o == 'f') {
                Link().Update([](LinkState& s) { s.routerFound = true; });
                EXPECT_EQ(Link().Snapshot().missCount, c.missCounts[check]);
                continue;
            }
            ASSERT_TRUE(Link().Snapshot().routerFound);
            OnTimerEvent();
            // The timer's thread only starts the worker; the worker sends, then checks.
            ASSERT_EQ(events, (std::vector<std::string>{"thread"}));
            EXPECT_FALSE(Link().Snapshot().statusReceived);
            if (*o == 'a') {
                clock.At(clock.now + milliseconds(50),
                         [] { Link().Update([](LinkState& s) { s.statusReceived = true; }); });
            }
            auto checkWorker = std::move(platform.threads.front());
            platform.threads.clear();
            events.clear();
            checkWorker();
            EXPECT_EQ(Link().Snapshot().missCount, c.missCounts[check]);
            if (c.losses[check]) {
                EXPECT_EQ(events, (std::vector<std::string>{
                                      "send 4", "picture 1030 cleared", "picture 1031 cleared",
                                      "tray 175  Router : Not connected \n ISP : Not connected \n "
                                      "Network name : ",
                                      "thread"}));
                EXPECT_FALSE(Link().Snapshot().routerFound);
                // The new discovery worker: let it find the router at once.
                platform.addresses = {"192.168.2.10"};
                platform.routerAt = "192.168.2.10";
                platform.RunThreads();
            } else {
                EXPECT_EQ(events, std::vector<std::string>{"send 4"})
                    << "a check without a loss shows nothing";
                EXPECT_TRUE(Link().Snapshot().routerFound);
            }
        }
    }
}

TEST_F(Supervision, ALossResetsTheTrayTextsAndKeepsTheRouterInformation) {
    Link().Update([](LinkState& s) {
        s.routerFound = true;
        s.missCount = 2;
        s.routerStatus = s.ispStatus = TEXT_CONNECTED;
        s.tooltipNetworkName = s.networkName = "wireless";
        s.routerName = "Home";
        s.routerAddress = "192.168.2.1";
        s.linkPcRouter = s.linkRouterIsp = true;
    });
    OnTimerEvent();
    platform.threads.front()();
    platform.threads.pop_front();
    const LinkState s = Link().Snapshot();
    EXPECT_EQ(s.routerStatus, "Not connected");
    EXPECT_EQ(s.ispStatus, "Not connected");
    EXPECT_EQ(s.tooltipNetworkName, "NULL");
    EXPECT_FALSE(s.linkPcRouter);
    EXPECT_FALSE(s.linkRouterIsp);
    EXPECT_EQ(s.networkName, "wireless");
    EXPECT_EQ(s.routerName, "Home");
    EXPECT_EQ(s.routerAddress, "192.168.2.1");
    EXPECT_EQ(clock.now, milliseconds(300 + 3000));
    Link().Update([](LinkState& st) { st.routerFound = true; });  // let the new worker end
}

TEST_F(Supervision, TimerEventsDoNothingWhileSearching) {
    Link().Update([](LinkState& s) { s.statusReceived = true; });
    OnTimerEvent();
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(Link().Snapshot().statusReceived);
}

}  // namespace
}  // namespace linkpanel
