// The router protocol's datagrams: requests encoded byte for byte, replies accepted and
// decoded. Pure functions over byte spans; nothing here touches a socket.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "state/LinkState.h"

namespace linkpanel {

inline constexpr const char* ROUTER_GROUP = "234.2.3.4";
inline constexpr std::uint16_t ROUTER_PORT = 7000;

inline constexpr int CMD_DISCOVER = 1;
inline constexpr int CMD_GET_ROUTER_INFO = 2;
inline constexpr int CMD_GET_SETTINGS = 3;
inline constexpr int CMD_GET_INTERNET_STATUS = 4;
inline constexpr int CMD_APPLY_SETTINGS = 5;
inline constexpr int CMD_REBOOT = 6;

inline constexpr std::uint8_t KIND_REQUEST = 1;
inline constexpr std::uint8_t KIND_REPLY = 2;
inline constexpr std::uint8_t KIND_SET = 3;

inline constexpr std::uint8_t OP_DISCOVER = 0x01;
inline constexpr std::uint8_t OP_SET_CONFIG = 0x1F;
inline constexpr std::uint8_t OP_GET_ROUTER_INFO = 0x29;
inline constexpr std::uint8_t OP_GET_SETTINGS = 0x2A;
inline constexpr std::uint8_t OP_GET_INTERNET_STATUS = 0x2B;
inline constexpr std::uint8_t OP_ROUTER_INFO_REPLY = 0x33;
inline constexpr std::uint8_t OP_SETTINGS_REPLY = 0x34;
inline constexpr std::uint8_t OP_INTERNET_STATUS_REPLY = 0x35;

inline constexpr std::size_t PACKET_SIZE = 512;
inline constexpr std::size_t HEADER_SIZE = 8;
// The receive buffer keeps a zero after the received bytes, so no more than this is used.
inline constexpr std::size_t MAX_USED_REPLY = PACKET_SIZE - 1;

inline constexpr std::string_view DISCOVER_MAGIC = "ROLVARNS";
inline constexpr std::string_view REPLY_MAGIC = "TAVOTAVO";
inline constexpr std::string_view REBOOT_TEXT = "kopanirsuvetha5273zugmal468135";
inline constexpr std::string_view STATUS_PASS = "PASS";
inline constexpr std::string_view STATUS_FAIL = "FAIL";
inline constexpr std::string_view WAN_FIXED_IP = "ip";
inline constexpr std::string_view WAN_PPPOE = "ppp";

// Set payload: password at 8 (16 bytes), SSID at 24 (33 bytes), channel at 57.
inline constexpr std::size_t SET_PASSWORD_OFFSET = 8;
inline constexpr std::size_t SET_PASSWORD_MAX = 15;  // plus its terminator in 16 bytes
inline constexpr std::size_t SET_SSID_OFFSET = 24;
inline constexpr std::size_t SSID_MAX = 32;  // plus its terminator in 33 bytes
inline constexpr std::size_t SET_CHANNEL_OFFSET = 57;

// Router information reply layout.
inline constexpr std::size_t INFO_SSID_OFFSET = 8;
inline constexpr std::size_t INFO_CHANNEL_OFFSET = 41;
inline constexpr std::size_t INFO_WEP_OFFSET = 42;
inline constexpr std::size_t INFO_NAME_OFFSET = 43;
inline constexpr std::size_t INFO_NAME_MAX = 32;
inline constexpr std::size_t INFO_WAN_OFFSET = 75;

using PacketBuffer = std::array<std::uint8_t, PACKET_SIZE>;

struct EncodedRequest {
    PacketBuffer bytes{};    // zero-filled, then the datagram at its start
    std::size_t length = 0;  // bytes sent
    int copies = 0;          // how many times the same datagram is sent
};

// The standard dotted-quad conversion: the address in network byte order, or
// 0xFFFFFFFF (INADDR_NONE) for an empty or malformed text.
std::uint32_t InetAddr(std::string_view text);

// The 4 addressee bytes for an address in network order: its octets reversed.
std::array<std::uint8_t, 4> Addressee(std::uint32_t networkOrderAddress);

// Request for a selector 1..6. routerAddress fills the addressee of selectors 2..5;
// settings supplies the new password, SSID and channel text of selector 5. The password
// is cut to 15 characters and the SSID to 32, so neither runs into the next field. An
// unknown selector gives length 0 and no copies.
EncodedRequest EncodeRequest(int selector, std::string_view routerAddress,
                             const SettingsFields& settings = {});

struct DiscoveryReply {};
struct RouterInfoReply {
    std::string ssid;  // at most 32 characters
    std::uint8_t channel = 0;
    std::uint8_t wep = 0;  // 0 disabled, 1 enabled, other values change nothing
    std::string name;      // at most 32 characters
    std::string wanType;   // "ip", "ppp" or anything else
};
struct SettingsReply {
    std::string password;
};
struct StatusReply {
    std::string word;  // bytes 8..11 up to a zero: "PASS", "FAIL" or another word
};

struct Reply {
    std::uint8_t opcode = 0;
    std::variant<DiscoveryReply, RouterInfoReply, SettingsReply, StatusReply> body;
};

// A received datagram taken as a reply for the endpoint whose address (network order,
// as from InetAddr) is localAddressValue: addressee reversed equal to it, kind 2, one of
// the four reply opcodes, and for discovery the exact magic. Bytes past the received
// length read as zero; nothing past it, nor past a field's width, is ever read.
std::optional<Reply> AcceptReply(std::span<const std::uint8_t> received,
                                 std::uint32_t localAddressValue);

}  // namespace linkpanel
