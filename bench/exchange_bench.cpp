// One exchange through library, transport and virtual device, against the
// floor of a bare SOCK_SEQPACKET send and receive of the same reports.
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <thread>

#include "KovalinkHID.h"
#include "alloc_hook.h"
#include "bench_rig.h"
#include "server/device_server.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace {

void BM_BeepThroughTheChain(benchmark::State& state) {
    bench::Rig rig;
    if (!rig.ok()) {
        state.SkipWithError("no simulated reader");
        return;
    }
    std::size_t allocations = 0;
    for (auto _ : state) {
        bench::AllocationCounter counter;
        if (rf_beep(0, 1) != 0) state.SkipWithError("rf_beep failed");
        allocations += counter.count();
    }
    state.counters["allocs/exchange"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BeepThroughTheChain)->UseRealTime();

// The floor: the same request report out and the same reply report back
// over a socket pair, answered by a thread that does nothing else.
void BM_BareSeqpacketFloor(benchmark::State& state) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds) != 0) {
        state.SkipWithError("socketpair");
        return;
    }
    const sim::Bytes request = common::toReports(common::encodeRequest(0, 0x1D, {0x01}))[0];
    const sim::Bytes reply = common::toReports(common::encodeReply(0, 0x1D, 0, {}))[0];
    std::thread echo([&] {
        std::uint8_t buffer[64];
        while (::recv(fds[1], buffer, sizeof buffer, 0) > 0) {
            ::send(fds[1], reply.data(), reply.size(), MSG_NOSIGNAL);
        }
    });
    std::uint8_t buffer[64];
    for (auto _ : state) {
        ::send(fds[0], request.data(), request.size(), MSG_NOSIGNAL);
        benchmark::DoNotOptimize(::recv(fds[0], buffer, sizeof buffer, 0));
    }
    ::shutdown(fds[0], SHUT_RDWR);
    echo.join();
    ::close(fds[0]);
    ::close(fds[1]);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareSeqpacketFloor)->UseRealTime();

}  // namespace

