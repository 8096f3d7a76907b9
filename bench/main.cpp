// Runs the benchmarks, then prints the ratios that matter, from this run:
// the chain against its floor, and our DES against OpenSSL's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Console output as usual, keeping each benchmark's mean time per
// iteration and bytes per second by name.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean")) continue;
            const std::string name = run.benchmark_name();
            const std::string base = name.substr(0, name.find("_mean"));
            time_[base] = run.GetAdjustedRealTime();
            const auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end()) rate_[base] = bytes->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void ratio(const char* what, const std::string& a, const std::string& b, bool by_rate, double target,
               bool at_most) const {
        const auto& table = by_rate ? rate_ : time_;
        const auto x = table.find(a), y = table.find(b);
        if (x == table.end() || y == table.end() || y->second == 0) return;
        const double r = x->second / y->second;
        std::printf("%-52s %6.2fx  (target %s %.2fx: %s)\n", what, r, at_most ? "at most" : "at least", target,
                    (at_most ? r <= target : r >= target) ? "met" : "NOT met");
    }

private:
    std::map<std::string, double> time_;
    std::map<std::string, double> rate_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios measured in this run:\n");
    reporter.ratio("rf_beep through the chain / bare SOCK_SEQPACKET", "BM_BeepThroughTheChain/real_time",
                   "BM_BareSeqpacketFloor/real_time", false, 1.25, true);
    reporter.ratio("DES: ours / OpenSSL (bytes per second)", "BM_Ours/key_len:8", "BM_OpenSsl/key_len:8", true, 0.5,
                   false);
    reporter.ratio("two-key 3DES: ours / OpenSSL (bytes per second)", "BM_Ours/key_len:16", "BM_OpenSsl/key_len:16",
                   true, 0.5, false);
    benchmark::Shutdown();
    return 0;
}
