// ReceiverWorker: takes every datagram on the current endpoint, keeps the replies meant
// for this computer and turns them into changes of the link state, tray and windows.
#pragma once

#include <cstdint>
#include <stop_token>

#include "protocol/Datagram.h"

namespace linkpanel {

// The dispatcher, with the receiver's own failed-status counter.
class ReplyDispatcher {
public:
    // One accepted reply; sourceAddress is the sender's IPv4 address in network order.
    void Handle(const Reply& reply, std::uint32_t sourceAddress);
    int failCount() const { return failCount_; }

private:
    int failCount_ = 2;  // a FAIL before any PASS counts as a loss at once
};

// Receives until stop is requested. While no endpoint is open it waits for one.
void RunReceiver(std::stop_token stop);

// The thread body started once at start-up; never returns.
[[noreturn]] void ReceiverWorker();

}  // namespace linkpanel
