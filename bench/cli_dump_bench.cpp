// A whole-card dump as kovalink makes it ("kovalink mifare dump"), through
// library, transport and simulated reader: the exchanges it takes and the
// time per dump (the program's start included). On a real reader each
// exchange costs about 2 ms of USB time, so the exchange count bounds a dump.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>

#include "KovalinkHID.h"
#include "bench_rig.h"

namespace {

// Runs one dump; returns the exchanges kovalink reports, or -1.
long dumpOnce(const std::string& image) {
    const std::string command = std::string(KOVALINK_BIN) + " --json --quiet mifare dump " + image + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    if (::pclose(pipe) != 0) return -1;
    const auto result = nlohmann::json::parse(output, nullptr, false);
    if (!result.is_object() || !result.contains("exchanges")) return -1;
    return result["exchanges"].get<long>();
}

void BM_KovalinkDump(benchmark::State& state, const char* card) {
    bench::Rig rig;
    if (!rig.ok() || !rig.place(card)) {
        state.SkipWithError("no simulated reader or card");
        return;
    }
    rf_ClosePort();  // the reader is kovalink's for the run
    const std::string image = "/tmp/kovalink-bench-dump-" + std::to_string(::getpid()) + ".mfd";
    long exchanges = 0;
    for (auto _ : state) {
        const long n = dumpOnce(image);
        if (n < 0) {
            state.SkipWithError("kovalink mifare dump failed");
            break;
        }
        exchanges += n;
    }
    std::remove(image.c_str());
    std::remove((image + ".keys").c_str());
    const double dumps = static_cast<double>(state.iterations());
    state.counters["exchanges/dump"] = dumps > 0 ? static_cast<double>(exchanges) / dumps : 0;
    // What the same dump costs in USB time alone on a real reader.
    state.counters["ms_at_2ms_per_exchange"] = dumps > 0 ? 2.0 * static_cast<double>(exchanges) / dumps : 0;
}
BENCHMARK_CAPTURE(BM_KovalinkDump, 1K, "mifare1k")->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_KovalinkDump, 4K, "mifare4k")->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
