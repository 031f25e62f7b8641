// The receiver blocked on one endpoint while the discovery worker replaces it: it wakes,
// takes the new socket and hears replies sent to it. Built a second time with TSan.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "protocol/Datagram.h"
#include "protocol/Endpoint.h"
#include "protocol/Receiver.h"
#include "state/LinkState.h"
#include "tests/bed/InNamespace.h"

namespace linkpanel {
namespace {

using namespace std::chrono_literals;

// A discovery reply from 10.0.0.1 to the current endpoint's port.
void AnswerDiscovery(std::uint32_t to) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    const EndpointRef now = CurrentEndpoint();
    ASSERT_TRUE(now.socket);
    ASSERT_EQ(::getsockname(now.socket->fd(), reinterpret_cast<sockaddr*>(&local), &length), 0);
    local.sin_addr.s_addr = to;

    std::uint8_t reply[16] = {};
    const auto addressee = Addressee(to);
    std::memcpy(reply, addressee.data(), 4);
    reply[4] = 2;
    reply[5] = OP_DISCOVER;
    std::memcpy(reply + 8, "TAVOTAVO", 8);
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = InetAddr("10.0.0.1");
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&from), sizeof from), 0);
    ::sendto(s, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&local), sizeof local);
    ::close(s);
}

bool Found() {
    for (int i = 0; i < 100; ++i) {
        if (Link().Snapshot().routerFound) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(EndpointReplacement, BlockedReceiverTakesTheNewSocket) {
    for (const char* line : {"link add v0 type veth peer name v1", "link set v0 up",
                             "link set v1 up", "addr add 10.0.0.5/24 dev v0",
                             "addr add 10.0.0.6/24 dev v0", "addr add 10.0.0.1/24 dev v1"}) {
        ASSERT_TRUE(bed::Ip(line)) << line;
    }
    Link().Reset();
    OpenEndpoint("10.0.0.5");
    std::jthread receiver([](std::stop_token stop) { RunReceiver(stop); });
    std::this_thread::sleep_for(100ms);  // blocked in its receive

    for (const char* address : {"10.0.0.6", "10.0.0.5"}) {
        SCOPED_TRACE(address);
        const std::uint64_t before = CurrentEndpoint().generation;
        CloseEndpoint();
        OpenEndpoint(address);
        EXPECT_NE(CurrentEndpoint().generation, before);
        std::this_thread::sleep_for(50ms);
        Link().Update([](LinkState& s) { s.routerFound = false; });
        AnswerDiscovery(InetAddr(address));
        EXPECT_TRUE(Found());
    }
    receiver.request_stop();
    CloseEndpoint();
}

}  // namespace
}  // namespace linkpanel

int main(int argc, char** argv) {
    return LINKPANEL_BED_MAIN(argc, argv);
}
