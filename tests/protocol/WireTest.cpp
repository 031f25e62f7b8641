// The sender and receiver against router-sim across the test bed's veth link: run by
// wire.sh inside the PC namespace, with the simulator's log and command pipe named in
// LP_SIM_LOG and LP_SIM_CTL.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "protocol/CommandSender.h"
#include "protocol/Datagram.h"
#include "protocol/Endpoint.h"
#include "protocol/Receiver.h"
#include "state/LinkState.h"

namespace linkpanel {
namespace {

using namespace std::chrono_literals;

struct LogLine {
    double t;
    std::string hex;
};

std::vector<LogLine> Received() {
    std::ifstream log(std::getenv("LP_SIM_LOG"));
    std::vector<LogLine> lines;
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream in(line);
        double t = 0;
        std::string dir, peer, hex;
        std::size_t length = 0;
        if (line.rfind("# ", 0) == 0 || !(in >> t >> dir >> peer >> length)) {
            continue;
        }
        in >> hex;  // empty for a 0-length datagram
        if (dir == "rx") {
            lines.push_back({t, hex});
        }
    }
    return lines;
}

std::string Hex(const EncodedRequest& r) {
    std::string text;
    char two[3];
    for (std::size_t i = 0; i < r.length; ++i) {
        std::snprintf(two, sizeof two, "%02x", r.bytes[i]);
        text += two;
    }
    return text;
}

void Tell(const std::string& command) {
    std::ofstream ctl(std::getenv("LP_SIM_CTL"));
    ctl << command << '\n';
}

template <class F>
bool Within(std::chrono::milliseconds limit, F condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

class WireTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("LP_SIM_LOG") || !std::getenv("LP_SIM_CTL")) {
            GTEST_SKIP() << "run through wire.sh";
        }
        Link().Reset();
        OpenEndpoint("192.168.2.10");
        receiver = std::jthread([](std::stop_token stop) { RunReceiver(stop); });
    }
    void TearDown() override {
        if (receiver.joinable()) {
            receiver.request_stop();
            CloseEndpoint();
        }
    }
    std::jthread receiver;
};

TEST_F(WireTest, RequestsOnTheWireAndRepliesAcceptedOnlyForUs) {
    SendCommand(CMD_DISCOVER);
    ASSERT_TRUE(Within(1s, [] { return Link().Snapshot().routerFound; }));
    EXPECT_EQ(Link().Snapshot().routerAddress, "192.168.2.1");

    // A status reply addressed to someone else is dropped; the same reply for us is taken.
    Tell("misbehave wrong-addressee");
    SendCommand(CMD_GET_INTERNET_STATUS);
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(Link().Snapshot().statusReceived);
    Tell("misbehave none");
    SendCommand(CMD_GET_INTERNET_STATUS);
    EXPECT_TRUE(Within(1s, [] { return Link().Snapshot().statusReceived; }));
    EXPECT_EQ(Link().Snapshot().ispStatus, TEXT_CONNECTED);

    SendCommand(CMD_GET_ROUTER_INFO);
    SendCommand(CMD_GET_SETTINGS);
    EXPECT_TRUE(Within(1s, [] {
        const LinkState s = Link().Snapshot();
        return s.infoReceived && s.settingsReceived;
    }));

    // Every copy byte for byte, in order, about 100 ms apart.
    std::vector<std::string> expected;
    std::vector<bool> firstCopy;
    const int sent[] = {CMD_DISCOVER, CMD_GET_INTERNET_STATUS, CMD_GET_INTERNET_STATUS,
                        CMD_GET_ROUTER_INFO, CMD_GET_SETTINGS};
    for (const int selector : sent) {
        const EncodedRequest r = EncodeRequest(selector, "192.168.2.1");
        expected.insert(expected.end(), static_cast<std::size_t>(r.copies), Hex(r));
        firstCopy.push_back(true);
        firstCopy.insert(firstCopy.end(), static_cast<std::size_t>(r.copies - 1), false);
    }
    const std::vector<LogLine> got = Received();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].hex, expected[i]) << "datagram " << i;
        if (!firstCopy[i]) {
            const double gap = got[i].t - got[i - 1].t;
            EXPECT_GT(gap, 0.09) << "datagram " << i;
            EXPECT_LT(gap, 0.25) << "datagram " << i;
        }
    }
}

// The window thread's sender returns at once, yet every copy carries the fields as they were
// at the call, though the caller clears them right after (as the password dialog does).
TEST_F(WireTest, BackgroundSendComposesAtTheCallAndPacesTheCopies) {
    SettingsFields settings;
    settings.ssid = "wireless";
    settings.channelText = "6";
    settings.newPassword = settings.retypePassword = "secret";
    Link().Update([&](LinkState& s) {
        s.routerAddress = "192.168.2.1";
        s.settings = settings;
    });
    const std::size_t before = Received().size();
    const auto start = std::chrono::steady_clock::now();
    SendCommandInBackground(CMD_APPLY_SETTINGS);
    const auto took = std::chrono::steady_clock::now() - start;
    Link().Update([](LinkState& s) {
        s.routerAddress.clear();
        s.settings = SettingsFields{};
    });
    EXPECT_LT(took, 50ms);

    const EncodedRequest r = EncodeRequest(CMD_APPLY_SETTINGS, "192.168.2.1", settings);
    const auto copies = static_cast<std::size_t>(r.copies);
    ASSERT_TRUE(Within(2s, [&] { return Received().size() >= before + copies; }));
    std::this_thread::sleep_for(300ms);  // no more than its copies
    const std::vector<LogLine> got = Received();
    ASSERT_EQ(got.size(), before + copies);
    for (std::size_t i = before; i < got.size(); ++i) {
        EXPECT_EQ(got[i].hex, Hex(r)) << "copy " << i - before;
        if (i > before) {
            EXPECT_GT(got[i].t - got[i - 1].t, 0.09) << "copy " << i - before;
        }
    }
}

}  // namespace
}  // namespace linkpanel
