// flood: hostile UDP traffic for the monitor's endpoint. Run it only inside a private
// network namespace made by tests/bed/bed: it refuses to start where an interface other
// than the loopback and veth pairs is up.
//
//   flood --to IP:PORT --rate N --seconds S --max-len L [--seed K] [--via IP]
//         [--spare-opcode OP] [--hex]
//   flood --to IP:PORT --once HEX [--via IP]
//
// Sends datagrams of random length 0..L and random content to IP:PORT, paced at N per
// second for S seconds. One in four starts like a reply to IP (addressee, kind, one of the
// reply opcodes, a payload length, sometimes the discovery magic or a status word), so the
// decoder's later checks see traffic too, not only its first comparison. The same seed gives
// the same datagrams in the same order; --hex prints each one, to replay a finding.
// --via IP sends from that interface (needed for a multicast destination). --spare-opcode OP
// leaves replies of that opcode to the real router: no dressed datagram carries it, so what
// the monitor takes for one can only be the router's. --once sends the one datagram given
// in hex, as --hex printed it, and nothing else.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/Datagram.h"

namespace {

constexpr long MAX_RATE = 200000;
constexpr double MAX_SECONDS = 60;
constexpr long MAX_DATAGRAM = 65507;

const char* USAGE =
    "usage: flood --to IP:PORT --rate N --seconds S --max-len L [--seed K] [--via IP]\n"
    "             [--spare-opcode OP] [--hex]\n"
    "       flood --to IP:PORT --once HEX [--via IP]\n"
    "Random datagrams of 0..L bytes to IP:PORT at N per second for S seconds\n"
    "(N <= 200000, S <= 60). Run it only inside a private network namespace.\n";

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr, "flood: %s\n%s", problem, USAGE);
    std::exit(2);
}

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

bool ParseNumber(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0';
}

// The test bed's namespaces hold only the loopback and veth pairs; any other interface that
// is up (a real card, a bridge, a tunnel) means this is not one of them.
bool InTestBed() {
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) {
        return false;
    }
    const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool ok = probe >= 0;
    for (ifaddrs* i = all; ok && i; i = i->ifa_next) {
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) {
            continue;
        }
        ethtool_drvinfo info{};
        info.cmd = ETHTOOL_GDRVINFO;
        ifreq request{};
        std::snprintf(request.ifr_name, sizeof request.ifr_name, "%s", i->ifa_name);
        request.ifr_data = reinterpret_cast<char*>(&info);
        ok = ioctl(probe, SIOCETHTOOL, &request) == 0 && std::strcmp(info.driver, "veth") == 0;
    }
    if (probe >= 0) {
        close(probe);
    }
    freeifaddrs(all);
    return ok;
}

struct Options {
    sockaddr_in to{};
    in_addr via{};
    bool hasVia = false;
    long rate = 0;
    double seconds = 0;
    long maxLength = -1;
    std::uint64_t seed = 0;
    bool hasSeed = false;
    bool hex = false;
    int spareOpcode = -1;
    bool once = false;
    std::vector<std::uint8_t> datagram;
};

bool ParseHex(std::string_view text, std::vector<std::uint8_t>& out) {
    if (text.size() % 2 != 0 || text.size() / 2 > MAX_DATAGRAM) {
        return false;
    }
    auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

Options Parse(int argc, char** argv) {
    Options o;
    bool hasTo = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        }
        if (flag == "--hex") {
            o.hex = true;
            continue;
        }
        if (i + 1 >= argc) {
            Usage(("missing value after " + flag).c_str());
        }
        const char* value = argv[++i];
        double number = 0;
        if (flag == "--to") {
            const std::string text = value;
            const auto colon = text.rfind(':');
            if (colon == std::string::npos ||
                inet_pton(AF_INET, text.substr(0, colon).c_str(), &o.to.sin_addr) != 1 ||
                !ParseNumber(text.c_str() + colon + 1, number) || number < 1 || number > 65535 ||
                number != static_cast<long>(number)) {
                Usage("--to needs IPV4:PORT");
            }
            o.to.sin_family = AF_INET;
            o.to.sin_port = htons(static_cast<std::uint16_t>(number));
            hasTo = true;
        } else if (flag == "--via") {
            if (inet_pton(AF_INET, value, &o.via) != 1) {
                Usage("--via needs an IPv4 address");
            }
            o.hasVia = true;
        } else if (flag == "--rate") {
            if (!ParseNumber(value, number) || number < 1 || number > MAX_RATE ||
                number != static_cast<long>(number)) {
                Usage("--rate must be a whole number from 1 to 200000");
            }
            o.rate = static_cast<long>(number);
        } else if (flag == "--seconds") {
            if (!ParseNumber(value, number) || !(number > 0) || number > MAX_SECONDS) {
                Usage("--seconds must be more than 0 and at most 60");
            }
            o.seconds = number;
        } else if (flag == "--max-len") {
            if (!ParseNumber(value, number) || number < 0 || number > MAX_DATAGRAM ||
                number != static_cast<long>(number)) {
                Usage("--max-len must be a whole number from 0 to 65507");
            }
            o.maxLength = static_cast<long>(number);
        } else if (flag == "--seed") {
            char* end = nullptr;
            errno = 0;
            o.seed = std::strtoull(value, &end, 0);
            if (errno != 0 || end == value || *end != '\0') {
                Usage("--seed must be a whole number");
            }
            o.hasSeed = true;
        } else if (flag == "--once") {
            if (!ParseHex(value, o.datagram)) {
                Usage("--once needs the datagram as an even number of hex digits");
            }
            o.once = true;
        } else if (flag == "--spare-opcode") {
            char* end = nullptr;
            const long opcode = std::strtol(value, &end, 0);
            if (end == value || *end != '\0' || opcode < 0 || opcode > 255) {
                Usage("--spare-opcode must be a byte, e.g. 0x35");
            }
            o.spareOpcode = static_cast<int>(opcode);
        } else {
            Usage(("unknown option " + flag).c_str());
        }
    }
    if (hasTo && o.once) {
        return o;
    }
    if (!hasTo || o.rate == 0 || o.seconds == 0 || o.maxLength < 0) {
        Usage("--to, --rate, --seconds and --max-len are required");
    }
    return o;
}

// Makes datagram after datagram; the sequence depends on the seed alone.
class Generator {
public:
    Generator(std::uint64_t seed, std::size_t maxLength, std::uint32_t addresseeOf, int spare)
        : random_(seed),
          maxLength_(maxLength),
          addressee_(linkpanel::Addressee(addresseeOf)),
          spare_(spare) {}

    const std::vector<std::uint8_t>& Next() {
        const std::size_t length = Below(maxLength_ + 1);
        bytes_.resize(length);
        for (std::size_t i = 0; i < length; i += 8) {
            const std::uint64_t word = random_();
            for (std::size_t k = 0; k < 8 && i + k < length; ++k) {
                bytes_[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
            }
        }
        if (Below(4) == 0) {
            Dress();
        }
        return bytes_;
    }

private:
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    void Put(std::size_t offset, std::uint8_t value) {
        if (offset < bytes_.size()) {
            bytes_[offset] = value;
        }
    }
    void Put(std::size_t offset, std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            Put(offset + i, static_cast<std::uint8_t>(text[i]));
        }
    }

    // The start of a reply: the addressee always, the kind and opcode nearly always, so
    // the few that miss keep the checks after the addressee busy.
    void Dress() {
        using namespace linkpanel;
        for (std::size_t i = 0; i < addressee_.size(); ++i) {
            Put(i, addressee_[i]);
        }
        if (Below(16) != 0) {
            Put(4, KIND_REPLY);
        }
        static constexpr std::uint8_t opcodes[] = {OP_DISCOVER, OP_ROUTER_INFO_REPLY,
                                                   OP_SETTINGS_REPLY, OP_INTERNET_STATUS_REPLY};
        if (Below(16) != 0) {
            Put(5, opcodes[Below(4)]);
        }
        const std::size_t payload = bytes_.size() > HEADER_SIZE ? bytes_.size() - HEADER_SIZE : 0;
        if (Below(2) == 0) {
            Put(6, static_cast<std::uint8_t>(payload & 0xFF));
            Put(7, static_cast<std::uint8_t>(payload >> 8));
        }
        const std::size_t choice = Below(8);
        if (bytes_.size() > 5 && bytes_[5] == OP_DISCOVER && choice < 4) {
            Put(HEADER_SIZE, REPLY_MAGIC);
            if (choice == 0) {
                Put(HEADER_SIZE + REPLY_MAGIC.size(), 0);
            }
        } else if (bytes_.size() > 5 && bytes_[5] == OP_INTERNET_STATUS_REPLY && choice < 2) {
            Put(HEADER_SIZE, choice == 0 ? STATUS_PASS : STATUS_FAIL);
        }
        if (bytes_.size() > 5 && bytes_[5] == spare_) {
            bytes_[5] = static_cast<std::uint8_t>(spare_ + 1);
        }
    }

    std::mt19937_64 random_;
    std::size_t maxLength_;
    std::array<std::uint8_t, 4> addressee_;
    int spare_;
    std::vector<std::uint8_t> bytes_;
};

void PrintHex(std::uint64_t index, const std::vector<std::uint8_t>& bytes) {
    std::printf("%llu %zu ", static_cast<unsigned long long>(index), bytes.size());
    for (std::uint8_t b : bytes) {
        std::printf("%02x", b);
    }
    std::printf("\n");
}

void SleepUntil(double when) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(when);
    t.tv_nsec = static_cast<long>((when - static_cast<double>(t.tv_sec)) * 1e9);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    if (!InTestBed()) {
        std::fprintf(stderr, "flood: refusing to run outside a private test bed namespace\n");
        return 2;
    }
    const std::uint64_t seed =
        o.hasSeed ? o.seed : static_cast<std::uint64_t>(Now() * 1e6) ^ static_cast<std::uint64_t>(getpid());

    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        std::perror("flood: socket");
        return 1;
    }
    const bool multicast = IN_MULTICAST(ntohl(o.to.sin_addr.s_addr));
    if (o.hasVia) {
        sockaddr_in own{};
        own.sin_family = AF_INET;
        own.sin_addr = o.via;
        if (bind(fd, reinterpret_cast<const sockaddr*>(&own), sizeof own) != 0 ||
            (multicast && setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &o.via, sizeof o.via) != 0)) {
            std::perror("flood: --via");
            return 1;
        }
    }
    if (multicast) {
        // Only the other end of the link is the target, not listeners beside us.
        const unsigned char off = 0;
        setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &off, sizeof off);
    }
    if (o.once) {
        const ssize_t n = sendto(fd, o.datagram.data(), o.datagram.size(), 0,
                                 reinterpret_cast<const sockaddr*>(&o.to), sizeof o.to);
        close(fd);
        if (n != static_cast<ssize_t>(o.datagram.size())) {
            std::perror("flood: sendto");
            return 1;
        }
        std::printf("sent 1 in 0 s\n");
        return 0;
    }
    // A reply goes to the monitor's own address; for a group, to the interface it sends on.
    const std::uint32_t addressee = multicast && o.hasVia ? o.via.s_addr : o.to.sin_addr.s_addr;
    std::fprintf(stderr, "flood: seed %llu\n", static_cast<unsigned long long>(seed));
    Generator generator(seed, static_cast<std::size_t>(o.maxLength), addressee, o.spareOpcode);

    const auto total = static_cast<std::uint64_t>(static_cast<double>(o.rate) * o.seconds);
    std::uint64_t sent = 0;
    std::uint64_t failed = 0;
    const double start = Now();
    for (std::uint64_t i = 0; i < total;) {
        // Everything due by now goes out at once; then a sleep until the next one is due.
        const double now = Now();
        auto due = static_cast<std::uint64_t>((now - start) * static_cast<double>(o.rate)) + 1;
        if (due > total) {
            due = total;
        }
        for (; i < due; ++i) {
            const auto& bytes = generator.Next();
            if (o.hex) {
                PrintHex(i, bytes);
            }
            if (sendto(fd, bytes.data(), bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&o.to), sizeof o.to) ==
                static_cast<ssize_t>(bytes.size())) {
                ++sent;
            } else {
                ++failed;
            }
        }
        if (i < total) {
            SleepUntil(start + static_cast<double>(i) / static_cast<double>(o.rate));
        }
    }
    const double took = Now() - start;
    close(fd);
    // The window on the monotonic clock the simulator and linkwatch stamp their lines with.
    std::fprintf(stderr, "flood: from %.6f to %.6f\n", start, start + took);
    std::printf("sent %llu in %.3f s\n", static_cast<unsigned long long>(sent), took);
    if (failed != 0) {
        std::printf("failed %llu\n", static_cast<unsigned long long>(failed));
    }
    return 0;
}
