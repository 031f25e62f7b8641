// The receiver's reply handling driven directly, with a desktop that records what the
// core asks of it and a clock that does not sleep.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "protocol/Datagram.h"
#include "protocol/Receiver.h"
#include "state/Clock.h"
#include "state/Desktop.h"
#include "state/LinkState.h"

namespace linkpanel {
namespace {

class CountingClock : public Clock {
public:
    std::chrono::steady_clock::time_point Now() override { return {}; }
    void SleepFor(std::chrono::milliseconds period) override {
        ++sleeps;
        slept += period;
    }
    int sleeps = 0;
    std::chrono::milliseconds slept{0};
};

class RecordingDesktop : public Desktop {
public:
    void PushMainWindow(const LinkState&) override { events.push_back("main"); }
    void SetLinkPicture(LinkPicture which, bool shown) override {
        events.push_back(std::string(which == LinkPicture::PcRouter ? "pc" : "isp") +
                         (shown ? "+" : "-"));
    }
    void UpdateTrayIcon(const std::string&, TrayPicture) override { events.push_back("tray"); }
    void PushSettingsDialog(const SettingsFields&) override { events.push_back("settings"); }
    void ShowPppoeAlert() override {
        events.push_back("alert");
        ++alerts;
    }
    std::vector<std::string> events;
    int alerts = 0;
};

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(&clock);
        Link().Reset();
        Link().Update([&](LinkState& s) { s.mainWindow = &desktop; });
    }
    void TearDown() override {
        Link().Update([](LinkState& s) { s.mainWindow = nullptr; });
        Link().Reset();
        SetClock(nullptr);
    }
    // One status reply as the poll would ask for it: the router found, the flag cleared.
    void Status(std::string_view word) {
        Link().Update([](LinkState& s) {
            s.routerFound = true;
            s.statusReceived = false;
        });
        dispatcher.Handle(Reply{OP_INTERNET_STATUS_REPLY, StatusReply{std::string(word)}}, 0);
    }
    CountingClock clock;
    RecordingDesktop desktop;
    ReplyDispatcher dispatcher;
};

TEST_F(DispatcherTest, StatusSequences) {
    struct Case {
        const char* words;
        std::vector<std::string> ispAfterEach;
    };
    const Case cases[] = {
        {"PASS FAIL PASS", {TEXT_CONNECTED, TEXT_CONNECTED, TEXT_CONNECTED}},
        {"PASS FAIL FAIL", {TEXT_CONNECTED, TEXT_CONNECTED, TEXT_NOT_CONNECTED}},
        {"FAIL", {TEXT_NOT_CONNECTED}},
        {"FAIL PASS FAIL FAIL",
         {TEXT_NOT_CONNECTED, TEXT_CONNECTED, TEXT_CONNECTED, TEXT_NOT_CONNECTED}},
        // A word that is neither leaves the Internet side as it was.
        {"PASS WAIT FAIL", {TEXT_CONNECTED, TEXT_CONNECTED, TEXT_CONNECTED}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        Link().Reset();
        dispatcher = ReplyDispatcher{};
        std::istringstream words(c.words);
        std::string word;
        for (const std::string& expected : c.ispAfterEach) {
            ASSERT_TRUE(words >> word);
            Status(word);
            const LinkState s = Link().Snapshot();
            EXPECT_EQ(s.ispStatus, expected) << "after " << word;
            EXPECT_EQ(s.routerStatus, TEXT_CONNECTED);
        }
    }
    EXPECT_EQ(desktop.alerts, 0);  // no PPPoE seen: never an alert
}

TEST_F(DispatcherTest, StatusReplyWhileFlagSetChangesNothing) {
    Status("PASS");
    desktop.events.clear();
    const int failCount = dispatcher.failCount();
    dispatcher.Handle(Reply{OP_INTERNET_STATUS_REPLY, StatusReply{std::string(STATUS_FAIL)}}, 0);
    EXPECT_TRUE(desktop.events.empty());
    EXPECT_EQ(dispatcher.failCount(), failCount);
    EXPECT_EQ(Link().Snapshot().ispStatus, TEXT_CONNECTED);
}

// Only a poll asks for the status, and only a found router is polled: a status reply while
// none is found (at start, or searching after a loss) would show a router that is not there.
TEST_F(DispatcherTest, StatusReplyWithNoRouterFoundChangesNothing) {
    const int failCount = dispatcher.failCount();
    for (const std::string_view word : {STATUS_PASS, STATUS_FAIL, std::string_view("WAIT")}) {
        SCOPED_TRACE(word);
        Link().Reset();
        Link().Update([&](LinkState& s) { s.mainWindow = &desktop; });
        desktop.events.clear();
        dispatcher.Handle(Reply{OP_INTERNET_STATUS_REPLY, StatusReply{std::string(word)}}, 0);
        EXPECT_TRUE(desktop.events.empty());
        const LinkState s = Link().Snapshot();
        EXPECT_FALSE(s.statusReceived);
        EXPECT_EQ(s.routerStatus, TEXT_NOT_CONNECTED);
        EXPECT_EQ(s.ispStatus, TEXT_NOT_CONNECTED);
    }
    EXPECT_EQ(dispatcher.failCount(), failCount);
}

TEST_F(DispatcherTest, PppoeAlertOnSixthLossThenRebootAndNoSecondAlertBeforePass) {
    dispatcher.Handle(
        Reply{OP_ROUTER_INFO_REPLY, RouterInfoReply{"net", 6, 0, "rt", std::string(WAN_PPPOE)}}, 0);
    ASSERT_TRUE(Link().Snapshot().pppoeSeen);
    Status(STATUS_PASS);
    for (int i = 1; i <= 6; ++i) {
        Status(STATUS_FAIL);  // the first FAIL after a PASS is tolerated
    }
    // FAIL 2..6 are lost results 1..5; the next FAIL is the sixth loss.
    EXPECT_EQ(desktop.alerts, 0);
    clock.sleeps = 0;
    Status(STATUS_FAIL);
    EXPECT_EQ(desktop.alerts, 1);
    // Dismissal sends the reboot text six times, pausing after every copy.
    EXPECT_EQ(clock.sleeps, EncodeRequest(CMD_REBOOT, "").copies);
    EXPECT_EQ(clock.sleeps, 6);
    EXPECT_FALSE(Link().Snapshot().alertArmed);

    for (int i = 0; i < 10; ++i) {
        Status(STATUS_FAIL);
    }
    EXPECT_EQ(desktop.alerts, 1);  // disarmed until a PASS

    Status(STATUS_PASS);
    Status(STATUS_FAIL);
    for (int i = 0; i < 5; ++i) {
        Status(STATUS_FAIL);
    }
    EXPECT_EQ(desktop.alerts, 1);
    Status(STATUS_FAIL);
    EXPECT_EQ(desktop.alerts, 2);
}

TEST_F(DispatcherTest, DiscoveryStepsInOrderAndOnlyOnce) {
    dispatcher.Handle(Reply{OP_DISCOVER, DiscoveryReply{}}, InetAddr("192.168.2.1"));
    EXPECT_EQ(desktop.events, (std::vector<std::string>{"pc+", "tray", "main"}));
    LinkState s = Link().Snapshot();
    EXPECT_TRUE(s.routerFound);
    EXPECT_EQ(s.routerAddress, "192.168.2.1");
    EXPECT_EQ(s.routerStatus, TEXT_CONNECTED);

    desktop.events.clear();
    dispatcher.Handle(Reply{OP_DISCOVER, DiscoveryReply{}}, InetAddr("192.168.2.99"));
    EXPECT_TRUE(desktop.events.empty());
    EXPECT_EQ(Link().Snapshot().routerAddress, "192.168.2.1");
}

TEST_F(DispatcherTest, RouterInfoOnlyOnceAndFieldsMapped) {
    dispatcher.Handle(Reply{OP_ROUTER_INFO_REPLY, RouterInfoReply{"home", 11, 1, "rt", "ip"}}, 0);
    dispatcher.Handle(Reply{OP_ROUTER_INFO_REPLY, RouterInfoReply{"other", 3, 0, "x", "dhcp"}}, 0);
    const LinkState s = Link().Snapshot();
    EXPECT_EQ(s.networkName, "home");
    EXPECT_EQ(s.tooltipNetworkName, "home");
    EXPECT_EQ(s.channel, "11");
    EXPECT_EQ(s.wepState, TEXT_WEP_ENABLED);
    EXPECT_EQ(s.routerName, "rt");
    EXPECT_EQ(s.connectionType, TEXT_TYPE_IP);
    EXPECT_TRUE(s.infoReceived);
}

TEST_F(DispatcherTest, SettingsReplyFillsPasswordsUnlessApplyInProgress) {
    for (const bool applying : {false, true}) {
        SCOPED_TRACE(applying ? "apply in progress" : "idle");
        Link().Reset();
        desktop.events.clear();
        Link().Update([&](LinkState& s) {
            s.settings.newPassword = "typed";
            s.settings.retypePassword = "typed";
            s.settings.currentPassword = "old";
            s.settings.currentPassword2 = "old";
            s.settings.applyInProgress = applying;
        });
        dispatcher.Handle(Reply{OP_SETTINGS_REPLY, SettingsReply{"secret"}}, 0);
        const LinkState s = Link().Snapshot();
        EXPECT_EQ(s.routerPassword, "secret");
        EXPECT_TRUE(s.settingsReceived);
        if (applying) {
            EXPECT_EQ(s.settings.newPassword, "typed");
            EXPECT_EQ(s.settings.retypePassword, "typed");
            EXPECT_EQ(s.settings.currentPassword, "old");
            EXPECT_EQ(s.settings.currentPassword2, "old");
        } else {
            EXPECT_EQ(s.settings.newPassword, PASSWORD_PLACEHOLDER);
            EXPECT_EQ(s.settings.retypePassword, PASSWORD_PLACEHOLDER);
            EXPECT_EQ(s.settings.currentPassword, "secret");
            EXPECT_EQ(s.settings.currentPassword2, "secret");
            EXPECT_EQ(desktop.events, (std::vector<std::string>{"settings"}));
        }
        // Taken once: a second reply changes nothing.
        dispatcher.Handle(Reply{OP_SETTINGS_REPLY, SettingsReply{"again"}}, 0);
        EXPECT_EQ(Link().Snapshot().routerPassword, "secret");
    }
}

}  // namespace
}  // namespace linkpanel
