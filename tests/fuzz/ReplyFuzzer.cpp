// Fuzz target: any bytes, taken as a received datagram, are accepted or refused without
// reading outside them, and an accepted reply keeps every field within its width.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "protocol/Datagram.h"

using namespace linkpanel;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::uint32_t local = InetAddr("192.168.2.10");
    const auto reply = AcceptReply(std::span(data, size), local);
    if (!reply) {
        return 0;
    }
    const auto addressee = Addressee(local);
    Check(size >= 6);
    for (std::size_t i = 0; i < 4; ++i) {
        Check(data[i] == addressee[i]);
    }
    Check(data[4] == KIND_REPLY);
    Check(data[5] == reply->opcode);
    switch (reply->opcode) {
        case OP_DISCOVER:
            Check(size >= 16 &&
                  std::string_view(reinterpret_cast<const char*>(data) + 8, 8) == REPLY_MAGIC);
            break;
        case OP_ROUTER_INFO_REPLY: {
            const auto& info = std::get<RouterInfoReply>(reply->body);
            Check(info.ssid.size() <= SSID_MAX && info.name.size() <= INFO_NAME_MAX);
            Check(info.wanType.size() + INFO_WAN_OFFSET <=
                  std::max<std::size_t>(size, INFO_WAN_OFFSET));
            break;
        }
        case OP_SETTINGS_REPLY:
            Check(std::get<SettingsReply>(reply->body).password.size() < MAX_USED_REPLY);
            break;
        case OP_INTERNET_STATUS_REPLY:
            Check(std::get<StatusReply>(reply->body).word.size() <= 4);
            break;
        default:
            Check(false);
    }
    return 0;
}
