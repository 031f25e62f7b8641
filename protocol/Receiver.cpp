#include "protocol/Receiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/CommandSender.h"
#include "protocol/Endpoint.h"
#include "state/DesktopOps.h"
#include "state/LinkState.h"

namespace linkpanel {
namespace {

std::string DottedDecimal(std::uint32_t networkOrder) {
    in_addr address{};
    address.s_addr = networkOrder;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

void OnDiscovery(std::uint32_t source) {
    const bool first = Link().Update([](LinkState& s) { return !s.routerFound; });
    if (!first) {
        return;
    }
    SetLinkPicture(LinkPicture::PcRouter, true);
    Link().Update([](LinkState& s) { s.routerStatus = TEXT_CONNECTED; });
    ComposeAndUpdateTray();
    Link().Update([&](LinkState& s) { s.routerAddress = DottedDecimal(source); });
    PushMainWindow();
    Link().Update([](LinkState& s) { s.routerFound = true; });
}

void OnRouterInfo(const RouterInfoReply& info) {
    const bool taken = Link().Update([&](LinkState& s) {
        if (s.infoReceived) {
            return false;
        }
        s.networkName = info.ssid;
        s.tooltipNetworkName = info.ssid;
        return true;
    });
    if (!taken) {
        return;
    }
    ComposeAndUpdateTray();
    Link().Update([&](LinkState& s) {
        s.channel = std::to_string(info.channel);
        if (info.wep == 0) {
            s.wepState = TEXT_WEP_DISABLED;
        } else if (info.wep == 1) {
            s.wepState = TEXT_WEP_ENABLED;
        }
        s.routerName = info.name;
        if (info.wanType == WAN_FIXED_IP) {
            s.connectionType = TEXT_TYPE_IP;
        } else if (info.wanType == WAN_PPPOE) {
            s.connectionType = TEXT_TYPE_PPPOE;
            s.pppoeSeen = true;
        } else {
            s.connectionType = TEXT_TYPE_DYNAMIC;
        }
    });
    PushMainWindow();
    Link().Update([](LinkState& s) { s.infoReceived = true; });
}

void OnSettings(const SettingsReply& reply) {
    const bool taken = Link().Update([&](LinkState& s) {
        if (s.settingsReceived) {
            return false;
        }
        // While the password confirmation is open, what the apply will send stays as the
        // user left it; otherwise the placeholder would go out as the new password.
        if (!s.settings.applyInProgress) {
            s.settings.currentPassword = reply.password;
            s.settings.currentPassword2 = reply.password;
            s.settings.newPassword = PASSWORD_PLACEHOLDER;
            s.settings.retypePassword = PASSWORD_PLACEHOLDER;
        }
        s.routerPassword = reply.password;
        return !s.settings.applyInProgress;
    });
    if (taken) {
        PushSettingsDialog();
    }
    Link().Update([](LinkState& s) { s.settingsReceived = true; });
}

}  // namespace

void ReplyDispatcher::Handle(const Reply& reply, std::uint32_t sourceAddress) {
    switch (reply.opcode) {
        case OP_DISCOVER:
            OnDiscovery(sourceAddress);
            return;
        case OP_ROUTER_INFO_REPLY:
            OnRouterInfo(std::get<RouterInfoReply>(reply.body));
            return;
        case OP_SETTINGS_REPLY:
            // A reply already taken since the request changes nothing.
            if (!Link().Snapshot().settingsReceived) {
                OnSettings(std::get<SettingsReply>(reply.body));
            }
            return;
        case OP_INTERNET_STATUS_REPLY:
            break;
        default:
            return;
    }
    // Only a found router is polled: a status reply while none is found answers no request
    // of ours, and taking it would show a router that is not there until one is found.
    const bool taken = Link().Update([](LinkState& s) {
        if (s.statusReceived || !s.routerFound) {
            return false;
        }
        s.statusReceived = true;
        return true;
    });
    if (!taken) {
        return;
    }
    const std::string& word = std::get<StatusReply>(reply.body).word;
    if (word == STATUS_PASS) {
        failCount_ = 0;
        SetLinkPicture(LinkPicture::RouterIsp, true);
        Link().Update([](LinkState& s) {
            s.ispStatus = TEXT_CONNECTED;
            s.alertCount = 0;
            s.alertArmed = true;
        });
    } else if (word == STATUS_FAIL) {
        if (failCount_ < 2) {
            ++failCount_;
        }
        if (failCount_ == 2) {
            SetLinkPicture(LinkPicture::RouterIsp, false);
            const bool alert = Link().Update([](LinkState& s) {
                s.ispStatus = TEXT_NOT_CONNECTED;
                if (s.alertArmed && s.pppoeSeen) {
                    ++s.alertCount;
                }
                return s.alertCount > 5 && s.pppoeSeen && s.alertArmed;
            });
            if (alert) {
                ShowPppoeAlert();
                Link().Update([](LinkState& s) { s.alertArmed = false; });
                SendCommand(CMD_REBOOT);
            }
        } else {
            // A first failure after a PASS is tolerated.
            SetLinkPicture(LinkPicture::RouterIsp, true);
            Link().Update([](LinkState& s) { s.ispStatus = TEXT_CONNECTED; });
        }
    }
    Link().Update([](LinkState& s) { s.routerStatus = TEXT_CONNECTED; });
    SetLinkPicture(LinkPicture::PcRouter, true);
    ComposeAndUpdateTray();
}

void RunReceiver(std::stop_token stop) {
    ReplyDispatcher dispatcher;
    EndpointRef endpoint;
    while (!stop.stop_requested()) {
        const EndpointRef now = CurrentEndpoint();
        if (!now.socket) {
            // No endpoint: wait for one instead of failing receive after receive. The closed
            // one is let go first, so that its descriptor is free for the next.
            endpoint = {};
            WaitForEndpoint(now.generation, stop);
            continue;
        }
        endpoint = now;
        PacketBuffer buffer{};
        sockaddr_in source{};
        socklen_t sourceLength = sizeof source;
        // shutdown() of a replaced endpoint wakes the wait at once. Only a receiver that can
        // be asked to stop wakes up once a second to see the request; the program's own
        // never is, so it sleeps until a datagram comes.
        pollfd ready{endpoint.socket->fd(), POLLIN, 0};
        if (::poll(&ready, 1, stop.stop_possible() ? 1000 : -1) <= 0) {
            continue;
        }
        const ssize_t n = ::recvfrom(endpoint.socket->fd(), buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (n == 0 && CurrentEndpoint().generation != endpoint.generation) {
            // Woken by the replacement (an empty datagram reads as 0 too): let the old one
            // go, which closes it, and take the new one.
            const std::uint64_t seen = endpoint.generation;
            endpoint = {};
            WaitForEndpoint(seen, stop);
            continue;
        }
        if (n < 0) {
            // A failing socket must not make this loop spin; the next cycle replaces it.
            ::poll(nullptr, 0, 50);
            continue;
        }
        const auto used = std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n));
        if (const auto reply = AcceptReply(used, endpoint.localAddressValue)) {
            dispatcher.Handle(*reply, source.sin_addr.s_addr);
        }
    }
}

void ReceiverWorker() {
    std::stop_source never;
    RunReceiver(never.get_token());
    for (;;) {
        pause();
    }
}

}  // namespace linkpanel
