// Frame encode + parse throughput for small, medium and full payloads.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "frame.h"

namespace {

std::vector<std::uint8_t> replyFrame(int payload) {
    std::vector<std::uint8_t> body{0x00, 0x00, static_cast<std::uint8_t>(payload + 3), 0x4B, 0x00};
    for (int i = 0; i < payload; ++i) body.push_back(static_cast<std::uint8_t>(i * 7));
    std::uint8_t sum = 0;
    for (std::uint8_t b : body) sum = static_cast<std::uint8_t>(sum + b);
    body.push_back(sum);
    std::vector<std::uint8_t> wire{0x02};
    for (std::uint8_t b : body) {
        if (b == 0x02 || b == 0x03 || b == 0x10) wire.push_back(0x10);
        wire.push_back(b);
    }
    wire.push_back(0x03);
    return wire;
}

void BM_FrameEncodeParse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> payload(n);
    for (int i = 0; i < n; ++i) payload[i] = static_cast<std::uint8_t>(i * 13);
    const std::vector<std::uint8_t> reply = replyFrame(n);
    std::uint8_t out[256];
    for (auto _ : state) {
        kv::CTransData frame(0x0001, 0x4C, payload.data(), n);
        std::memcpy(frame.reply(), reply.data(), reply.size());
        *frame.replyLength() = static_cast<int>(reply.size());
        frame.ParseReply();
        frame.CopyData(out, frame.GetDataLength());
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("frames (encode + parse)");
}
BENCHMARK(BM_FrameEncodeParse)->Arg(1)->Arg(16)->Arg(250);

}  // namespace
