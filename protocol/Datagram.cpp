#include "protocol/Datagram.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace linkpanel {
namespace {

void PutText(PacketBuffer& buffer, std::size_t offset, std::string_view text, std::size_t max) {
    // Like a string copy: up to the first zero, and never past the field.
    text = text.substr(0, std::min(text.find('\0'), max));
    std::copy(text.begin(), text.end(), buffer.begin() + offset);
}

// atoi without its undefined overflow: sign and digits after leading blanks, saturated.
long long ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 1LL << 40);
    }
    return negative ? -value : value;
}

class ReplyView {
public:
    explicit ReplyView(std::span<const std::uint8_t> bytes)
        : bytes_(bytes.first(std::min(bytes.size(), MAX_USED_REPLY))) {}

    std::uint8_t At(std::size_t offset) const {
        return offset < bytes_.size() ? bytes_[offset] : 0;
    }

    // Text from offset up to its zero, the end of the received bytes, or max characters.
    std::string Text(std::size_t offset, std::size_t max) const {
        std::string text;
        for (std::size_t i = offset; i < bytes_.size() && text.size() < max && bytes_[i] != 0;
             ++i) {
            text.push_back(static_cast<char>(bytes_[i]));
        }
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace

std::uint32_t InetAddr(std::string_view text) {
    const std::string terminated(text.substr(0, text.find('\0')));
    return ::inet_addr(terminated.c_str());
}

std::array<std::uint8_t, 4> Addressee(std::uint32_t networkOrderAddress) {
    std::array<std::uint8_t, 4> octets{};
    std::memcpy(octets.data(), &networkOrderAddress, octets.size());
    std::reverse(octets.begin(), octets.end());
    return octets;
}

EncodedRequest EncodeRequest(int selector, std::string_view routerAddress,
                             const SettingsFields& settings) {
    EncodedRequest request;
    PacketBuffer& b = request.bytes;
    if (selector != CMD_DISCOVER) {
        const auto addressee = Addressee(InetAddr(routerAddress));
        std::copy(addressee.begin(), addressee.end(), b.begin());
    }
    auto header = [&](std::uint8_t kind, std::uint8_t opcode, std::uint16_t payload) {
        b[4] = kind;
        b[5] = opcode;
        b[6] = static_cast<std::uint8_t>(payload & 0xFF);
        b[7] = static_cast<std::uint8_t>(payload >> 8);
        request.length = HEADER_SIZE + payload;
    };
    switch (selector) {
        case CMD_DISCOVER:
            header(KIND_REQUEST, OP_DISCOVER, DISCOVER_MAGIC.size());
            PutText(b, HEADER_SIZE, DISCOVER_MAGIC, DISCOVER_MAGIC.size());
            request.copies = 1;
            break;
        case CMD_GET_ROUTER_INFO:
            header(KIND_REQUEST, OP_GET_ROUTER_INFO, 0);
            request.copies = 5;
            break;
        case CMD_GET_SETTINGS:
            header(KIND_REQUEST, OP_GET_SETTINGS, 0);
            request.copies = 5;
            break;
        case CMD_GET_INTERNET_STATUS:
            header(KIND_REQUEST, OP_GET_INTERNET_STATUS, 0);
            request.copies = 3;
            break;
        case CMD_APPLY_SETTINGS:
            header(KIND_SET, OP_SET_CONFIG, 50);
            PutText(b, SET_PASSWORD_OFFSET, settings.newPassword, SET_PASSWORD_MAX);
            PutText(b, SET_SSID_OFFSET, settings.ssid, SSID_MAX);
            b[SET_CHANNEL_OFFSET] = static_cast<std::uint8_t>(ParseDecimal(settings.channelText));
            request.copies = 5;
            break;
        case CMD_REBOOT:
            std::copy(REBOOT_TEXT.begin(), REBOOT_TEXT.end(), b.begin());
            request.length = REBOOT_TEXT.size();
            request.copies = 6;
            break;
        default:
            b.fill(0);
            break;
    }
    return request;
}

std::optional<Reply> AcceptReply(std::span<const std::uint8_t> received,
                                 std::uint32_t localAddressValue) {
    const ReplyView v(received);
    const auto expected = Addressee(localAddressValue);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (v.At(i) != expected[i]) {
            return std::nullopt;
        }
    }
    if (v.At(4) != KIND_REPLY) {
        return std::nullopt;
    }
    Reply reply;
    reply.opcode = v.At(5);
    switch (reply.opcode) {
        case OP_DISCOVER:
            // Exactly eight characters: a zero inside them makes the text shorter.
            if (v.Text(HEADER_SIZE, REPLY_MAGIC.size()) != REPLY_MAGIC) {
                return std::nullopt;
            }
            reply.body = DiscoveryReply{};
            return reply;
        case OP_ROUTER_INFO_REPLY:
            reply.body =
                RouterInfoReply{v.Text(INFO_SSID_OFFSET, SSID_MAX), v.At(INFO_CHANNEL_OFFSET),
                                v.At(INFO_WEP_OFFSET), v.Text(INFO_NAME_OFFSET, INFO_NAME_MAX),
                                v.Text(INFO_WAN_OFFSET, MAX_USED_REPLY)};
            return reply;
        case OP_SETTINGS_REPLY:
            reply.body = SettingsReply{v.Text(HEADER_SIZE, MAX_USED_REPLY)};
            return reply;
        case OP_INTERNET_STATUS_REPLY:
            reply.body = StatusReply{v.Text(HEADER_SIZE, 4)};
            return reply;
        default:
            return std::nullopt;
    }
}

}  // namespace linkpanel
