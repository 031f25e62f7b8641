// For gtest executables that need a network of their own: the process moves into a fresh
// network namespace before any test runs, so nothing it opens reaches the host's network.
#pragma once

#include <sched.h>

#include <cstdlib>
#include <string>

namespace linkpanel::bed {

// Runs an `ip` command line in the current namespace; true when it succeeded.
inline bool Ip(const std::string& arguments) {
    return std::system(("ip " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// A fresh namespace with lo up. Returns 77 (the skip code) when not permitted, else 0.
// Call it from a single-threaded process; it may be called again for a clean network.
inline int EnterPrivateNetwork() {
    if (::unshare(CLONE_NEWNET) != 0) {
        return 77;
    }
    return Ip("link set lo up") ? 0 : 77;
}

}  // namespace linkpanel::bed

// A gtest main that enters the private network first:
//   int main(int argc, char** argv) { return LINKPANEL_BED_MAIN(argc, argv); }
#define LINKPANEL_BED_MAIN(argc, argv)                                \
    ([&] {                                                            \
        if (const int rc = ::linkpanel::bed::EnterPrivateNetwork()) { \
            return rc;                                                \
        }                                                             \
        ::testing::InitGoogleTest(&(argc), (argv));                   \
        return RUN_ALL_TESTS();                                       \
    }())
