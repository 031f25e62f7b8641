#include "protocol/Endpoint.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "protocol/Datagram.h"
#include "state/DesktopOps.h"
#include "state/LinkState.h"

namespace linkpanel {

LocalAddressList& LocalAddresses() {
    static LocalAddressList list;
    return list;
}

void EnumerateLocalAddresses() {
    LocalAddressList& list = LocalAddresses();
    list.count = 0;
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) == 0) {
        for (ifaddrs* i = all; i && list.count < MAX_LOCAL_ADDRESSES; i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) ||
                (i->ifa_flags & IFF_LOOPBACK)) {
                continue;
            }
            char text[INET_ADDRSTRLEN] = {};
            const auto* in = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
            if (!::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) {
                continue;
            }
            const auto end = list.addresses.begin() + list.count;
            if (std::find(list.addresses.begin(), end, text) == end) {
                list.addresses[list.count++] = text;
            }
        }
        ::freeifaddrs(all);
    }
    // What the host-name lookup gives on a computer without a network.
    if (list.count == 0) {
        list.addresses[list.count++] = "127.0.0.1";
    }
}

UdpSocket::~UdpSocket() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

namespace {

// The endpoint: the socket is swapped under this lock, every user copies the pointer for
// the length of its call, and the generation tells a receiver that its socket was replaced
// (a zero-length read alone proves nothing: an empty datagram reads the same).
std::mutex endpointMutex;
std::condition_variable endpointChanged;
EndpointRef current;

void Replace(std::shared_ptr<UdpSocket> socket, std::uint32_t localAddressValue) {
    std::shared_ptr<UdpSocket> old;
    {
        std::lock_guard lock(endpointMutex);
        old = std::move(current.socket);
        current.socket = std::move(socket);
        current.localAddressValue = localAddressValue;
        ++current.generation;
    }
    if (old) {
        // Wakes a receive blocked on it; the descriptor closes when its last user lets go.
        ::shutdown(old->fd(), SHUT_RDWR);
    }
    endpointChanged.notify_all();
}

}  // namespace

EndpointRef CurrentEndpoint() {
    std::lock_guard lock(endpointMutex);
    return current;
}

void CloseEndpoint() {
    const std::uint32_t local = CurrentEndpoint().localAddressValue;
    if (CurrentEndpoint().socket) {
        Replace(nullptr, local);
    }
}

void OpenEndpoint(const std::string& addressText) {
    const std::uint32_t local = InetAddr(addressText);
    Link().Update([&](LinkState& s) { s.localAddress = addressText; });
    PushMainWindow();

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    Replace(fd >= 0 ? std::make_shared<UdpSocket>(fd) : nullptr, local);
    if (fd < 0) {
        return;
    }
    in_addr interfaceAddress{};
    interfaceAddress.s_addr = local;
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = 0;
    bound.sin_addr = interfaceAddress;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&bound), sizeof bound) != 0) {
        return;
    }
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        return;
    }
    ip_mreq membership{};
    membership.imr_multiaddr.s_addr = InetAddr(ROUTER_GROUP);
    membership.imr_interface = interfaceAddress;
    if (::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0) {
        return;
    }
    ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &interfaceAddress, sizeof interfaceAddress);
}

EndpointRef WaitForEndpoint(std::uint64_t seen, std::stop_token stop) {
    // Registered before the lock is taken: it runs at once when stop was already asked for.
    std::stop_callback wake(stop, [] {
        std::lock_guard inner(endpointMutex);
        endpointChanged.notify_all();
    });
    std::unique_lock lock(endpointMutex);
    endpointChanged.wait(lock, [&] {
        return stop.stop_requested() || (current.generation != seen && current.socket);
    });
    return stop.stop_requested() ? EndpointRef{} : current;
}

}  // namespace linkpanel
