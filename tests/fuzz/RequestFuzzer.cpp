// Fuzz target: any bytes, taken as a datagram the simulated router received, get a reply
// only when they are a well-formed request it answers, every reply is a well-formed reply
// the monitor accepts, and the router's stored settings stay within their fields.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "protocol/Datagram.h"
#include "tools/router-sim/Router.h"

using namespace linkpanel;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::uint8_t AnswerTo(std::uint8_t opcode) {
    switch (opcode) {
        case OP_DISCOVER:
            return OP_DISCOVER;
        case OP_GET_ROUTER_INFO:
            return OP_ROUTER_INFO_REPLY;
        case OP_GET_SETTINGS:
            return OP_SETTINGS_REPLY;
        case OP_GET_INTERNET_STATUS:
            return OP_INTERNET_STATUS_REPLY;
        default:
            return 0;
    }
}

// Every reply: within a packet, addressed to the sender, its length field true, and taken
// by the monitor's own acceptance for the request's answer opcode.
void CheckReply(const sim::Outgoing& out, std::uint32_t sender, std::uint8_t answer) {
    const auto& d = out.bytes;
    Check(d.size() >= HEADER_SIZE && d.size() <= MAX_USED_REPLY);
    Check(static_cast<std::size_t>(d[6] | (d[7] << 8)) == d.size() - HEADER_SIZE);
    const auto reply = AcceptReply(d, sender);
    Check(reply && reply->opcode == answer);
}

// The state a set command can leave must still give a reply the monitor decodes to it.
void CheckState(sim::RouterConfig& config, std::uint32_t sender) {
    Check(config.channel >= 0 && config.channel <= 255);
    Check(config.password.size() <= SET_PASSWORD_MAX + 1 && config.ssid.size() <= SSID_MAX + 1);
    for (const std::uint8_t opcode : {OP_GET_ROUTER_INFO, OP_GET_SETTINGS}) {
        const auto request = EncodeRequest(
            opcode == OP_GET_ROUTER_INFO ? CMD_GET_ROUTER_INFO : CMD_GET_SETTINGS, "192.168.2.1");
        const auto handled =
            sim::HandleRequest(config, std::span(request.bytes.data(), request.length), sender);
        Check(handled.replies.size() == 1);
        CheckReply(handled.replies[0], sender, AnswerTo(opcode));
        const auto reply = AcceptReply(handled.replies[0].bytes, sender);
        if (opcode == OP_GET_SETTINGS) {
            Check(std::get<SettingsReply>(reply->body).password == config.password);
        } else {
            const auto& info = std::get<RouterInfoReply>(reply->body);
            Check(info.ssid == config.ssid.substr(0, SSID_MAX));
            Check(info.channel == static_cast<std::uint8_t>(config.channel));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::uint32_t router = InetAddr("192.168.2.1");
    static const std::uint32_t sender = InetAddr("192.168.2.10");
    sim::RouterConfig config;
    config.address = router;
    const sim::RouterConfig before = config;
    const std::span<const std::uint8_t> request(data, size);
    const auto handled = sim::HandleRequest(config, request, sender);

    const auto own = Addressee(router);
    const bool forUs = size >= 4 && std::equal(own.begin(), own.end(), data);
    const bool header = size >= HEADER_SIZE;
    const std::uint8_t answer = header ? AnswerTo(data[5]) : 0;
    const bool answerable =
        header && data[4] == KIND_REQUEST && answer != 0 && (forUs || data[5] == OP_DISCOVER);
    Check(handled.replies.size() == (answerable ? 1u : 0u));
    for (const auto& out : handled.replies) {
        CheckReply(out, sender, answer);
    }

    const bool set = header && forUs && data[4] == KIND_SET && data[5] == OP_SET_CONFIG;
    if (!set) {
        // Only a set command for this router changes what it stores.
        Check(config.password == before.password && config.ssid == before.ssid &&
              config.channel == before.channel);
    }
    if (handled.silentFor.count() != 0) {
        Check(set || handled.note == "reboot");
    }
    CheckState(config, sender);
    return 0;
}
