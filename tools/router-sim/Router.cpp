#include "tools/router-sim/Router.h"

#include <algorithm>
#include <sstream>

#include "protocol/Datagram.h"

namespace linkpanel::sim {
namespace {

void PutText(std::vector<std::uint8_t>& d, std::size_t offset, const std::string& text,
             std::size_t width, bool terminate) {
    if (d.size() < offset + width) {
        d.resize(offset + width, 0);
    }
    const std::size_t n = std::min(text.size(), terminate ? width - 1 : width);
    std::copy(text.begin(), text.begin() + static_cast<long>(n),
              d.begin() + static_cast<long>(offset));
}

std::string TextAt(std::span<const std::uint8_t> d, std::size_t offset, std::size_t width) {
    std::string text;
    for (std::size_t i = offset; i < d.size() && i < offset + width && d[i] != 0; ++i) {
        text.push_back(static_cast<char>(d[i]));
    }
    return text;
}

std::vector<std::uint8_t> Reply(const RouterConfig& c, std::uint32_t sender, std::uint8_t opcode) {
    std::vector<std::uint8_t> d(HEADER_SIZE, 0);
    auto addressee = Addressee(sender);
    if (c.misbehaviour == "wrong-addressee") {
        addressee[0] ^= 0xFF;
    }
    std::copy(addressee.begin(), addressee.end(), d.begin());
    d[4] = c.misbehaviour == "wrong-kind" ? KIND_REQUEST : KIND_REPLY;
    d[5] = opcode;
    const bool unterminated = c.misbehaviour == "unterminated";
    switch (opcode) {
        case OP_DISCOVER:
            PutText(d, 8, c.misbehaviour == "wrong-magic" ? "tavotavo" : std::string(REPLY_MAGIC),
                    8, false);
            break;
        case OP_ROUTER_INFO_REPLY: {
            // Unterminated: the texts fill their whole fields, with no zero after them. An
            // empty text stays empty otherwise: a set command may store an empty SSID.
            auto fill = [&](const std::string& t, std::size_t width) {
                std::string f = unterminated && t.empty() ? "X" : t;
                while (unterminated && f.size() < width) {
                    f += f;
                }
                return f;
            };
            PutText(d, INFO_SSID_OFFSET, fill(c.ssid, 33), 33, !unterminated);
            d.resize(INFO_NAME_OFFSET, 0);
            d[INFO_CHANNEL_OFFSET] = static_cast<std::uint8_t>(c.channel);
            d[INFO_WEP_OFFSET] = c.wep ? 1 : 0;
            PutText(d, INFO_NAME_OFFSET, fill(c.name, 32), 32, !unterminated);
            PutText(d, INFO_WAN_OFFSET, c.wan, c.wan.size() + 1, true);
            break;
        }
        case OP_SETTINGS_REPLY:
            PutText(d, 8, c.password, c.password.size() + (unterminated ? 0 : 1), !unterminated);
            break;
        case OP_INTERNET_STATUS_REPLY:
            PutText(d, 8, c.status, 4, false);
            break;
    }
    const std::size_t payload = d.size() - HEADER_SIZE;
    d[6] = static_cast<std::uint8_t>(payload & 0xFF);
    d[7] = static_cast<std::uint8_t>(payload >> 8);
    return d;
}

}  // namespace

Handled HandleRequest(RouterConfig& c, std::span<const std::uint8_t> r, std::uint32_t sender) {
    Handled h;
    if (r.size() == REBOOT_TEXT.size() &&
        std::equal(r.begin(), r.end(), REBOOT_TEXT.begin(), REBOOT_TEXT.end())) {
        h.note = "reboot";
        h.silentFor = c.rebootPeriod;
        return h;
    }
    if (r.size() < HEADER_SIZE) {
        return h;
    }
    const auto own = Addressee(c.address);
    const bool forUs = std::equal(own.begin(), own.end(), r.begin());
    const std::uint8_t kind = r[4], opcode = r[5];
    if (kind == KIND_SET && opcode == OP_SET_CONFIG && forUs && r.size() >= 58) {
        c.password = TextAt(r, SET_PASSWORD_OFFSET, 16);
        c.ssid = TextAt(r, SET_SSID_OFFSET, 33);
        c.channel = r[SET_CHANNEL_OFFSET];
        h.note = "set password=" + c.password + " ssid=" + c.ssid +
                 " channel=" + std::to_string(c.channel);
        h.silentFor = c.restartPeriod;
        return h;
    }
    if (kind != KIND_REQUEST) {
        return h;
    }
    std::string what;
    std::uint8_t answer = 0;
    switch (opcode) {
        case OP_DISCOVER:
            what = "discover", answer = OP_DISCOVER;
            break;
        case OP_GET_ROUTER_INFO:
            what = "info", answer = OP_ROUTER_INFO_REPLY;
            break;
        case OP_GET_SETTINGS:
            what = "settings", answer = OP_SETTINGS_REPLY;
            break;
        case OP_GET_INTERNET_STATUS:
            what = "status", answer = OP_INTERNET_STATUS_REPLY;
            break;
        default:
            return h;
    }
    if ((opcode != OP_DISCOVER && !forUs) || c.silent.count(what) || c.silent.count("all")) {
        return h;
    }
    const int copies = c.misbehaviour == "twice" ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
        h.replies.push_back({Reply(c, sender, answer)});
    }
    return h;
}

std::string ApplyCommand(RouterConfig& c, const std::string& line, bool& quit) {
    std::istringstream in(line);
    std::string verb, value;
    in >> verb;
    std::getline(in >> std::ws, value);
    if (verb == "status" && !value.empty()) {
        c.status = value;
    } else if (verb == "silent" && !value.empty()) {
        if (value == "none") {
            c.silent.clear();
        } else {
            c.silent.insert(value);
        }
    } else if (verb == "answer" && !value.empty()) {
        c.silent.erase(value);
    } else if (verb == "misbehave" && !value.empty()) {
        c.misbehaviour = value;
    } else if (verb == "ssid") {
        c.ssid = value;
    } else if (verb == "wan" && !value.empty()) {
        c.wan = value;
    } else if (verb == "password") {
        c.password = value;
    } else if (verb == "channel" && !value.empty()) {
        c.channel = std::atoi(value.c_str());
    } else if (verb == "quit") {
        quit = true;
    } else {
        return "unknown command: " + line;
    }
    return "ok " + line;
}

}  // namespace linkpanel::sim
