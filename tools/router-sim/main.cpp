// router-sim: plays the router on one address, for tests and the demo. Run it only inside
// a private network namespace. One log line per datagram on stdout:
//   <monotonic seconds> rx|tx <ip>:<port> <length> <hex>
// and every other line starts with "# ".
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "protocol/Datagram.h"
#include "tools/router-sim/Router.h"

using namespace linkpanel;
using namespace linkpanel::sim;

namespace {

const char* USAGE = R"(usage: router-sim --address A [options]
Plays the router on address A: binds 0.0.0.0:7000, joins 234.2.3.4 on A, and answers from
A:7000 to the sender. Run it only inside a private network namespace.
  --address A          the router's own address (required)
  --ssid S             wireless network name (wireless)
  --channel N          channel (6)
  --wep on|off         WEP state (on)
  --name NAME          router name (Wavecastor)
  --wan ip|ppp|dhcp    connection type, any text (ip)
  --password P         administrator password (admin)
  --status WORD        Internet status word, PASS or FAIL or any other (PASS)
  --restart-ms N       silent period after a set command (5000)
  --reboot-ms N        silent period after the reboot text (5000)
Commands on stdin, one a line, each acknowledged with a "# ok" line:
  status WORD | ssid S | wan W | password P | channel N
  silent discover|info|settings|status|all   stop answering that request (adds up)
  answer discover|info|settings|status       answer it again;  silent none: answer all
  misbehave wrong-magic|wrong-addressee|wrong-kind|unterminated|twice|none
  quit
Log: "<monotonic s> rx|tx <ip>:<port> <length> <hex>" per datagram, "# ..." otherwise.
)";

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Log(const char* direction, const sockaddr_in& peer, const std::uint8_t* data, std::size_t n,
         double at = Now()) {
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &peer.sin_addr, ip, sizeof ip);
    std::printf("%.6f %s %s:%u %zu ", at, direction, ip, ntohs(peer.sin_port), n);
    for (std::size_t i = 0; i < n; ++i) {
        std::printf("%02x", data[i]);
    }
    std::printf("\n");
    std::fflush(stdout);
}

void Note(const std::string& text) {
    std::printf("# %s\n", text.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    RouterConfig c;
    std::string address;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "router-sim: %s needs a value\n%s", flag.c_str(), USAGE);
            return 2;
        }
        const std::string v = argv[++i];
        if (flag == "--address")
            address = v;
        else if (flag == "--ssid")
            c.ssid = v;
        else if (flag == "--channel")
            c.channel = std::atoi(v.c_str());
        else if (flag == "--wep")
            c.wep = v == "on";
        else if (flag == "--name")
            c.name = v;
        else if (flag == "--wan")
            c.wan = v;
        else if (flag == "--password")
            c.password = v;
        else if (flag == "--status")
            c.status = v;
        else if (flag == "--restart-ms")
            c.restartPeriod = std::chrono::milliseconds(std::atoi(v.c_str()));
        else if (flag == "--reboot-ms")
            c.rebootPeriod = std::chrono::milliseconds(std::atoi(v.c_str()));
        else {
            std::fprintf(stderr, "router-sim: unknown flag %s\n%s", flag.c_str(), USAGE);
            return 2;
        }
    }
    c.address = InetAddr(address);
    if (address.empty() || c.address == 0xFFFFFFFFu) {
        std::fprintf(stderr, "router-sim: --address A is required\n%s", USAGE);
        return 2;
    }
    const int rx = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int tx = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(rx, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // Replies leave from the service port, as a capture filtered on port 7000 expects.
    setsockopt(tx, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(ROUTER_PORT);
    sockaddr_in own{};
    own.sin_family = AF_INET;
    own.sin_addr.s_addr = c.address;
    own.sin_port = htons(ROUTER_PORT);
    ip_mreq group{};
    group.imr_multiaddr.s_addr = InetAddr(ROUTER_GROUP);
    group.imr_interface.s_addr = c.address;
    if (rx < 0 || tx < 0 || bind(rx, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
        setsockopt(rx, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group) != 0 ||
        bind(tx, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0) {
        std::fprintf(stderr, "router-sim: cannot listen on %s: %s\n", address.c_str(),
                     std::strerror(errno));
        return 1;
    }
    Note("router " + address + " listening on 0.0.0.0:7000, group 234.2.3.4");
    double silentUntil = 0;
    bool stdinOpen = true;
    for (bool quit = false; !quit;) {
        pollfd fds[2] = {{rx, POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            std::string line;
            if (std::getline(std::cin, line)) {
                if (!line.empty()) {
                    Note(ApplyCommand(c, line, quit));
                }
            } else {
                stdinOpen = false;
            }
        }
        if (!(fds[0].revents & POLLIN)) {
            continue;
        }
        std::uint8_t buffer[PACKET_SIZE];
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        const ssize_t n =
            recvfrom(rx, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &peerLength);
        if (n < 0) {
            continue;
        }
        Log("rx", peer, buffer, static_cast<std::size_t>(n));
        if (Now() < silentUntil) {
            continue;
        }
        const Handled h =
            HandleRequest(c, std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)),
                          peer.sin_addr.s_addr);
        if (!h.note.empty()) {
            Note(h.note);
        }
        if (h.silentFor.count() > 0) {
            silentUntil = Now() + static_cast<double>(h.silentFor.count()) / 1000.0;
        }
        for (const Outgoing& out : h.replies) {
            // Stamped as it leaves: the time a reply takes to reach the tray is counted from here.
            const double sent = Now();
            if (sendto(tx, out.bytes.data(), out.bytes.size(), MSG_NOSIGNAL,
                       reinterpret_cast<const sockaddr*>(&peer), sizeof peer) >= 0) {
                Log("tx", peer, out.bytes.data(), out.bytes.size(), sent);
            }
        }
    }
    return 0;
}
