// Runs the benchmarks, then prints the ratios that matter, from this run:
// the chain against its floor, and our DES against OpenSSL's. With
// repetitions the ratios come from the medians, which one slow repetition on
// a busy machine barely moves (a mean it can drag far off), and each side's
// coefficient of variation is printed beside them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// One benchmark's time per iteration and bytes per second, as a single run
// gave them or as an aggregate of the repetitions.
struct Figure {
    double time = 0;
    double rate = 0;
    long long repetitions = 1;
};

// Console output as usual, keeping by name each benchmark's figures of a
// single run, and the median and coefficient of variation of repetitions.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            const std::string kind = aggregate ? run.aggregate_name : "run";
            if (kind != "run" && kind != "median" && kind != "cv") continue;
            Figure figure;
            // A coefficient of variation is a fraction, kept unscaled.
            figure.time = kind == "cv" ? run.real_accumulated_time : run.GetAdjustedRealTime();
            const auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end()) figure.rate = bytes->second.value;
            figure.repetitions = aggregate ? static_cast<long long>(run.repetitions) : 1;
            figures_[run.run_name.str()][kind] = figure;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // a / b, by time per iteration or by bytes per second, against a target.
    void ratio(const char* what, const std::string& a, const std::string& b, bool by_rate, double target,
               bool at_most) const {
        const auto x = figures_.find(a), y = figures_.find(b);
        if (x == figures_.end() || y == figures_.end()) return;
        const bool medians = x->second.count("median") && y->second.count("median");
        const std::string kind = medians ? "median" : "run";
        if (!x->second.count(kind) || !y->second.count(kind)) return;
        const Figure& fa = x->second.at(kind);
        const Figure& fb = y->second.at(kind);
        const double denominator = by_rate ? fb.rate : fb.time;
        if (denominator == 0) return;
        const double r = (by_rate ? fa.rate : fa.time) / denominator;

        char spread[96] = "single run, no spread";
        if (medians) {
            const auto cv = [&](const std::map<std::string, Figure>& f) {
                const auto it = f.find("cv");
                return it == f.end() ? 0.0 : 100 * (by_rate ? it->second.rate : it->second.time);
            };
            std::snprintf(spread, sizeof spread, "medians of %lld, CV %.0f%% / %.0f%%", fa.repetitions, cv(x->second),
                          cv(y->second));
        }
        std::printf("%-48s %6.2fx  (%s; target %s %.2fx: %s)\n", what, r, spread, at_most ? "at most" : "at least",
                    target, (at_most ? r <= target : r >= target) ? "met" : "NOT met");
    }

private:
    std::map<std::string, std::map<std::string, Figure>> figures_;
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
