// Reading a whole Mifare Classic card through library, transport and
// simulated reader: one authentication per sector, one read per block.
#include <benchmark/benchmark.h>

#include "KovalinkHID.h"
#include "bench_rig.h"
#include "mifare_layout.h"

namespace {

const unsigned char kKey[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

constexpr const common::mifare::Layout& kLayout = common::mifare::kLargestLayout;

// Returns the number of exchanges, or -1 on a failure.
int readWholeCard(int sectors) {
    unsigned char tag_type[2], uid[10], sak = 0, length = 0, data[252];
    int exchanges = 3;
    if (rf_request(0, 0x52, tag_type) != 0 || rf_anticoll(0, 4, uid, &length) != 0 ||
        rf_select(0, uid, length, &sak) != 0) {
        return -1;
    }
    for (unsigned s = 0; s < static_cast<unsigned>(sectors); ++s) {
        if (rf_M1_authentication2(0, 0x60, static_cast<unsigned char>(kLayout.firstBlock(s)), kKey) != 0) return -1;
        ++exchanges;
        for (unsigned b = kLayout.firstBlock(s); b <= kLayout.trailer(s); ++b) {
            if (rf_M1_read(0, static_cast<unsigned char>(b), data, &length) != 0) return -1;
            ++exchanges;
        }
    }
    return exchanges;
}

void BM_ReadWholeClassic(benchmark::State& state, const char* card, int sectors) {
    bench::Rig rig;
    if (!rig.ok() || !rig.place(card)) {
        state.SkipWithError("no simulated reader or card");
        return;
    }
    long exchanges = 0;
    for (auto _ : state) {
        const int n = readWholeCard(sectors);
        if (n < 0) {
            state.SkipWithError("reading the card failed");
            return;
        }
        exchanges += n;
    }
    state.counters["exchanges/s"] = benchmark::Counter(static_cast<double>(exchanges), benchmark::Counter::kIsRate);
    state.counters["exchanges/card"] =
        benchmark::Counter(static_cast<double>(exchanges), benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_ReadWholeClassic, 1K, "mifare1k", 16)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadWholeClassic, 4K, "mifare4k", 40)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
