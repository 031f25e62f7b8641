#include "protocol/Datagram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace linkpanel {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sent(const EncodedRequest& r) {
    return Bytes(r.bytes.begin(), r.bytes.begin() + r.length);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}
Bytes Zeros(std::size_t n) {
    return Bytes(n, 0);
}

struct RequestCase {
    const char* name;
    int selector;
    std::string routerAddress;
    SettingsFields settings;
    Bytes expected;
    int copies;
};

TEST(Datagram, RequestsAreByteExact) {
    SettingsFields wireless;
    wireless.newPassword = "abc";
    wireless.ssid = "wireless";
    wireless.channelText = "6";
    SettingsFields longTexts;
    longTexts.newPassword = "0123456789abcdefXYZ";  // 19: cut to 15
    longTexts.ssid = std::string(40, 's');          // cut to 32
    longTexts.channelText = "";                     // no selection: 0
    SettingsFields odd;
    odd.channelText = "11";
    odd.newPassword = std::string("ab\0cd", 5);  // stops at the zero

    const Bytes header5 = {0x01, 0x02, 0xA8, 0xC0, 0x03, 0x1F, 0x32, 0x00};
    const std::vector<RequestCase> cases = {
        {"discover ignores the address",
         CMD_DISCOVER,
         "192.168.2.1",
         {},
         Concat({{0, 0, 0, 0, 0x01, 0x01, 0x08, 0x00}, Text("ROLVARNS")}),
         1},
        {"discover with no address",
         CMD_DISCOVER,
         "",
         {},
         Concat({{0, 0, 0, 0, 0x01, 0x01, 0x08, 0x00}, Text("ROLVARNS")}),
         1},
        {"router info",
         CMD_GET_ROUTER_INFO,
         "192.168.2.1",
         {},
         {0x01, 0x02, 0xA8, 0xC0, 0x01, 0x29, 0x00, 0x00},
         5},
        {"settings",
         CMD_GET_SETTINGS,
         "10.0.0.138",
         {},
         {138, 0, 0, 10, 0x01, 0x2A, 0x00, 0x00},
         5},
        {"status",
         CMD_GET_INTERNET_STATUS,
         "192.168.2.1",
         {},
         {0x01, 0x02, 0xA8, 0xC0, 0x01, 0x2B, 0x00, 0x00},
         3},
        {"empty address",
         CMD_GET_INTERNET_STATUS,
         "",
         {},
         {0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x2B, 0x00, 0x00},
         3},
        {"malformed address",
         CMD_GET_ROUTER_INFO,
         "192.168.2.x",
         {},
         {0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x29, 0x00, 0x00},
         5},
        {"set with the example values", CMD_APPLY_SETTINGS, "192.168.2.1", wireless,
         Concat({header5, Text("abc"), Zeros(13), Text("wireless"), Zeros(25), {6}}), 5},
        {"set keeps each text inside its field", CMD_APPLY_SETTINGS, "192.168.2.1", longTexts,
         Concat({header5, Text("0123456789abcde"), Zeros(1), Bytes(32, 's'), Zeros(1), {0}}), 5},
        {"set with a zero in the password and channel 11", CMD_APPLY_SETTINGS, "192.168.2.1", odd,
         Concat({header5, Text("ab"), Zeros(14), Zeros(33), {11}}), 5},
        {"reboot is the bare text",
         CMD_REBOOT,
         "192.168.2.1",
         {},
         Text("kopanirsuvetha5273zugmal468135"),
         6},
    };
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.name);
        const EncodedRequest r = EncodeRequest(c.selector, c.routerAddress, c.settings);
        EXPECT_EQ(Sent(r), c.expected);
        EXPECT_EQ(r.copies, c.copies);
        // Whatever is not sent stays zero, except where the reboot text overwrote the
        // address bytes (they are inside the sent part) and the discovery terminator.
        for (std::size_t i = r.length; i < PACKET_SIZE; ++i) {
            ASSERT_EQ(r.bytes[i], 0) << "byte " << i;
        }
    }
    EXPECT_EQ(EncodeRequest(CMD_APPLY_SETTINGS, "", wireless).length, 58u);
    EXPECT_EQ(EncodeRequest(7, "192.168.2.1").copies, 0);
    EXPECT_EQ(EncodeRequest(0, "192.168.2.1").length, 0u);
}

TEST(Datagram, InetAddrFollowsTheStandardConversion) {
    EXPECT_EQ(Addressee(InetAddr("192.168.2.10")), (std::array<std::uint8_t, 4>{10, 2, 168, 192}));
    EXPECT_EQ(InetAddr(""), 0xFFFFFFFFu);
    EXPECT_EQ(InetAddr("300.1.1.1"), 0xFFFFFFFFu);
    EXPECT_EQ(InetAddr("not an address"), 0xFFFFFFFFu);
    // The classic conversion also takes the short forms.
    EXPECT_EQ(Addressee(InetAddr("127.1")), (std::array<std::uint8_t, 4>{1, 0, 0, 127}));
}

// Builds a reply for local address 192.168.2.10, with a payload laid from offset 8.
Bytes ReplyFor(std::uint8_t kind, std::uint8_t opcode, const Bytes& payload,
               Bytes addressee = {10, 2, 168, 192}) {
    return Concat({addressee, {kind, opcode, 0, 0}, payload});
}

Bytes InfoPayload(const Bytes& ssid33, std::uint8_t channel, std::uint8_t wep, const Bytes& name32,
                  const Bytes& wan) {
    return Concat({ssid33, {channel, wep}, name32, wan});
}

Bytes Field(std::string_view text, std::size_t width) {
    Bytes f = Text(text);
    f.resize(width, 0);
    return f;
}

const std::uint32_t LOCAL = InetAddr("192.168.2.10");

struct ReplyCase {
    const char* name;
    Bytes datagram;
    bool accepted;
    std::uint8_t opcode = 0;
};

TEST(Datagram, RepliesAreAcceptedOnlyByAddresseeKindOpcodeAndMagic) {
    const std::vector<ReplyCase> cases = {
        {"discovery", ReplyFor(2, 0x01, Text("TAVOTAVO")), true, 0x01},
        {"discovery, lower-case magic", ReplyFor(2, 0x01, Text("tavotavo")), false},
        {"discovery, zero inside the magic", ReplyFor(2, 0x01, Text(std::string("TAVO\0AVO", 8))),
         false},
        {"discovery, magic cut short", ReplyFor(2, 0x01, Text("TAVOTAV")), false},
        {"discovery, addressee not reversed",
         ReplyFor(2, 0x01, Text("TAVOTAVO"), {192, 168, 2, 10}), false},
        {"discovery, another host's addressee",
         ReplyFor(2, 0x01, Text("TAVOTAVO"), {11, 2, 168, 192}), false},
        {"kind 1", ReplyFor(1, 0x35, Text("PASS")), false},
        {"kind 3", ReplyFor(3, 0x35, Text("PASS")), false},
        {"kind 0", ReplyFor(0, 0x33, {}), false},
        {"router info", ReplyFor(2, 0x33, {}), true, 0x33},
        {"settings", ReplyFor(2, 0x34, Text("admin")), true, 0x34},
        {"status", ReplyFor(2, 0x35, Text("PASS")), true, 0x35},
        {"a request's opcode", ReplyFor(2, 0x2B, Text("PASS")), false},
        {"unknown opcode", ReplyFor(2, 0x36, Text("PASS")), false},
        {"empty", {}, false},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = AcceptReply(c.datagram, LOCAL);
        ASSERT_EQ(reply.has_value(), c.accepted);
        if (reply) {
            EXPECT_EQ(reply->opcode, c.opcode);
        }
    }
}

TEST(Datagram, RouterInformationDecodesWithinItsFields) {
    struct Case {
        const char* name;
        Bytes payload;
        RouterInfoReply expected;
    };
    const std::vector<Case> cases = {
        {"fixed ip",
         InfoPayload(Field("wireless", 33), 6, 1, Field("Home", 32), Text("ip")),
         {"wireless", 6, 1, "Home", "ip"}},
        {"pppoe, channel 255, wep 2",
         InfoPayload(Field("net", 33), 255, 2, Field("R", 32), Text("ppp")),
         {"net", 255, 2, "R", "ppp"}},
        {"unterminated ssid and name stop at 32",
         InfoPayload(Bytes(33, 'S'), 11, 0, Bytes(32, 'N'), Text("dhcp")),
         {std::string(32, 'S'), 11, 0, std::string(32, 'N'), "dhcp"}},
        {"connection type ends at the datagram's end",
         InfoPayload(Field("", 33), 0, 0, Field("", 32), Text("pppoe-long")),
         {"", 0, 0, "", "pppoe-long"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reply = AcceptReply(ReplyFor(2, 0x33, c.payload), LOCAL);
        ASSERT_TRUE(reply);
        const auto& info = std::get<RouterInfoReply>(reply->body);
        EXPECT_EQ(info.ssid, c.expected.ssid);
        EXPECT_EQ(info.channel, c.expected.channel);
        EXPECT_EQ(info.wep, c.expected.wep);
        EXPECT_EQ(info.name, c.expected.name);
        EXPECT_EQ(info.wanType, c.expected.wanType);
    }
}

TEST(Datagram, StatusAndSettingsTexts) {
    struct Case {
        Bytes payload;
        std::string word;
    };
    for (const Case& c : std::vector<Case>{{Text("PASS"), "PASS"},
                                           {Text("FAIL"), "FAIL"},
                                           {Text("PASSWORD"), "PASS"},  // only bytes 8..11
                                           {Text("PA"), "PA"},
                                           {Text(std::string("PA\0S", 4)), "PA"},
                                           {Text("pass"), "pass"}}) {
        const auto reply = AcceptReply(ReplyFor(2, 0x35, c.payload), LOCAL);
        ASSERT_TRUE(reply);
        EXPECT_EQ(std::get<StatusReply>(reply->body).word, c.word);
    }
    const auto settings =
        AcceptReply(ReplyFor(2, 0x34, Concat({Text("secret"), {0}, Text("x")})), LOCAL);
    ASSERT_TRUE(settings);
    EXPECT_EQ(std::get<SettingsReply>(settings->body).password, "secret");
}

TEST(Datagram, AtMost511BytesOfADatagramAreUsed) {
    Bytes full = ReplyFor(2, 0x34, Bytes(PACKET_SIZE - HEADER_SIZE, 'p'));
    ASSERT_EQ(full.size(), PACKET_SIZE);
    const auto reply = AcceptReply(full, LOCAL);
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::get<SettingsReply>(reply->body).password.size(), MAX_USED_REPLY - HEADER_SIZE);
}

// Every prefix of a full router-information reply decodes as far as it goes, with the
// missing bytes read as zero, and never reads outside what was received (checked by
// giving each prefix its own exactly-sized heap buffer, which the sanitizers watch).
TEST(Datagram, TruncatedDatagramsDecodeAsFarAsTheyGo) {
    const Bytes whole =
        ReplyFor(2, 0x33, InfoPayload(Field("wireless", 33), 6, 1, Field("Home", 32), Text("ppp")));
    for (std::size_t n = 0; n <= 80; ++n) {
        SCOPED_TRACE(n);
        const Bytes prefix(whole.begin(), whole.begin() + std::min(n, whole.size()));
        const auto reply = AcceptReply(prefix, LOCAL);
        if (n < 5) {
            EXPECT_FALSE(reply);
            continue;
        }
        if (n < 6) {
            EXPECT_FALSE(reply);  // opcode reads as 0
            continue;
        }
        ASSERT_TRUE(reply);
        const auto& info = std::get<RouterInfoReply>(reply->body);
        EXPECT_EQ(info.ssid, std::string("wireless").substr(0, n > 8 ? n - 8 : 0));
        EXPECT_EQ(info.channel, n > 41 ? 6 : 0);
        EXPECT_EQ(info.wep, n > 42 ? 1 : 0);
        EXPECT_EQ(info.name, std::string("Home").substr(0, n > 43 ? n - 43 : 0));
        EXPECT_EQ(info.wanType, std::string("ppp").substr(0, n > 75 ? n - 75 : 0));
    }
    // The same for the other three replies at every short length.
    const std::vector<Bytes> others = {ReplyFor(2, 0x01, Text("TAVOTAVO")),
                                       ReplyFor(2, 0x34, Text("admin")),
                                       ReplyFor(2, 0x35, Text("PASS"))};
    for (const Bytes& full : others) {
        for (std::size_t n = 0; n <= full.size(); ++n) {
            const Bytes prefix(full.begin(), full.begin() + n);
            const auto reply = AcceptReply(prefix, LOCAL);
            if (reply && reply->opcode == OP_DISCOVER) {
                EXPECT_EQ(n, full.size()) << "discovery accepted with its magic cut at " << n;
            }
        }
    }
}

}  // namespace
}  // namespace linkpanel
