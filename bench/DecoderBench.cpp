// How many received datagrams the reply decoder judges per second on one core: foreign
// traffic (wrong addressee), our own replies of each kind, and random bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "protocol/Datagram.h"

namespace linkpanel {
namespace {

const std::uint32_t LOCAL = InetAddr("192.168.2.10");

std::vector<std::vector<std::uint8_t>> Datagrams(bool ours, std::size_t count) {
    std::mt19937 random(7);
    std::vector<std::vector<std::uint8_t>> all;
    const std::uint8_t opcodes[] = {0x01, 0x33, 0x34, 0x35};
    for (std::size_t i = 0; i < count; ++i) {
        std::vector<std::uint8_t> d(8 + random() % 120);
        for (auto& b : d) {
            b = static_cast<std::uint8_t>(random());
        }
        if (ours) {
            d[0] = 10, d[1] = 2, d[2] = 168, d[3] = 192, d[4] = 2, d[5] = opcodes[i % 4];
        }
        all.push_back(std::move(d));
    }
    return all;
}

void Judge(benchmark::State& state, bool ours) {
    const auto datagrams = Datagrams(ours, 1024);
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& d = datagrams[i++ & 1023];
        benchmark::DoNotOptimize(AcceptReply(d, LOCAL));
    }
    state.SetItemsProcessed(state.iterations());
}

void ForeignDatagrams(benchmark::State& state) {
    Judge(state, false);
}
void RepliesForUs(benchmark::State& state) {
    Judge(state, true);
}

BENCHMARK(ForeignDatagrams);
BENCHMARK(RepliesForUs);

}  // namespace
}  // namespace linkpanel

BENCHMARK_MAIN();
