// Local address enumeration in namespaces of this process's own, each case a fresh one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/Endpoint.h"
#include "tests/bed/InNamespace.h"

namespace linkpanel {
namespace {

std::vector<std::string> Enumerated() {
    EnumerateLocalAddresses();
    const LocalAddressList& list = LocalAddresses();
    return {list.addresses.begin(), list.addresses.begin() + static_cast<long>(list.count)};
}

TEST(LocalAddresses, CountsOrderDuplicatesAndDownInterfaces) {
    struct Case {
        const char* name;
        std::vector<std::string> setup;  // ip command lines
        std::vector<std::string> expected;
    };
    std::vector<std::string> many = {"link add v0 type veth peer name v1", "link set v0 up"};
    std::vector<std::string> first20;
    for (int i = 1; i <= 25; ++i) {
        const std::string a = "10.1.0." + std::to_string(i);
        many.push_back("addr add " + a + "/24 dev v0");
        if (i <= 20) {
            first20.push_back(a);
        }
    }
    const std::vector<std::string> pair = {"link add v0 type veth peer name v1", "link set v0 up",
                                           "link set v1 up"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> all = pair;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const Case cases[] = {
        {"none", {}, {"127.0.0.1"}},
        {"one", with({"addr add 192.168.2.10/24 dev v0"}), {"192.168.2.10"}},
        {"two",
         with({"addr add 10.0.0.5/24 dev v0", "addr add 192.168.2.10/24 dev v1"}),
         // The order getifaddrs gives, which here is not the order of adding.
         {"192.168.2.10", "10.0.0.5"}},
        {"duplicate",
         with({"addr add 10.0.0.5/24 dev v0", "addr add 10.0.0.5/24 dev v1"}),
         {"10.0.0.5"}},
        {"down",
         with({"addr add 10.0.0.5/24 dev v0", "addr add 10.0.0.6/24 dev v1", "link set v1 down"}),
         {"10.0.0.5"}},
        {"twenty-five", many, first20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(bed::EnterPrivateNetwork(), 0);
        for (const std::string& line : c.setup) {
            ASSERT_TRUE(bed::Ip(line)) << line;
        }
        EXPECT_EQ(Enumerated(), c.expected);
    }
}

}  // namespace
}  // namespace linkpanel

int main(int argc, char** argv) {
    return LINKPANEL_BED_MAIN(argc, argv);
}
