// The simulated router's behaviour, apart from its sockets: what it answers to a request.
#pragma once

#include <chrono>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace linkpanel::sim {

struct RouterConfig {
    std::uint32_t address = 0;  // network order
    std::string ssid = "wireless";
    int channel = 6;
    bool wep = true;
    std::string name = "Wavecastor";
    std::string wan = "ip";
    std::string password = "admin";
    std::string status = "PASS";
    std::chrono::milliseconds restartPeriod{5000};
    std::chrono::milliseconds rebootPeriod{5000};
    std::set<std::string> silent;  // request kinds not answered: discover info settings status
    std::string misbehaviour = "none";
};

struct Outgoing {
    std::vector<std::uint8_t> bytes;
};

struct Handled {
    std::vector<Outgoing> replies;
    std::string note;                        // for the log, empty when nothing to say
    std::chrono::milliseconds silentFor{0};  // go silent for this long from now
};

// What the router does with one received datagram from `sender` (network order).
Handled HandleRequest(RouterConfig& config, std::span<const std::uint8_t> request,
                      std::uint32_t sender);

// Applies one stdin command; returns the acknowledgement text (or an error text).
std::string ApplyCommand(RouterConfig& config, const std::string& line, bool& quit);

}  // namespace linkpanel::sim
