// The local IPv4 addresses and the one multicast endpoint, bound to one of them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace linkpanel {

inline constexpr std::size_t MAX_LOCAL_ADDRESSES = 20;

struct LocalAddressList {
    std::array<std::string, MAX_LOCAL_ADDRESSES> addresses;
    std::size_t count = 0;
};

// The process-wide list. Only the discovery worker writes it.
LocalAddressList& LocalAddresses();

// Fills LocalAddresses(): the IPv4 addresses of interfaces that are up and not loopback,
// in the order the system lists them, duplicates dropped, at most 20; 127.0.0.1 alone
// when there is none.
void EnumerateLocalAddresses();

// A socket file descriptor with a single owner: closed when the last user lets go, so a
// thread still holding it never reads or sends on a reused descriptor number.
class UdpSocket {
public:
    explicit UdpSocket(int fd) : fd_(fd) {}
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// What a user of the endpoint copies for the duration of one call.
struct EndpointRef {
    std::shared_ptr<UdpSocket> socket;    // null while no socket is open
    std::uint64_t generation = 0;         // changes on every close and open
    std::uint32_t localAddressValue = 0;  // network order, as from InetAddr
};

// socketHandle and localAddressValue, replaced by the discovery worker while the sender
// and the receiver use them.
EndpointRef CurrentEndpoint();

// Closes the current socket: shutdown() wakes a receive blocked on it; the descriptor
// itself closes when its last user lets go. Closing when none is open does nothing.
void CloseEndpoint();

// Stores the address, pushes the main window, then creates a UDP socket bound to
// addressText port 0, with SO_BROADCAST, joined to the router group on that interface and
// with it as the outgoing multicast interface; the first failing step ends it silently.
void OpenEndpoint(const std::string& addressText);

// Waits without spinning until the endpoint's generation differs from `seen` and a
// socket is open, or until stop is requested (then the result holds no socket).
EndpointRef WaitForEndpoint(std::uint64_t seen, std::stop_token stop);

}  // namespace linkpanel
