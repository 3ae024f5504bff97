#include "bench/bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Remembers the median (or, without repetitions, the single run) of every
// benchmark while the console reporter prints as usual.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!median && !single) continue;
            const std::string name = run.run_name.str();
            if (!medians_.count(name)) order_.push_back(name);
            medians_[name] = {run.GetAdjustedRealTime(), benchmark::GetTimeUnitString(run.time_unit)};
        }
    }

    void summarise(const char* yardstick, const char* compared) const {
        if (order_.empty()) return;
        std::printf("\nMedians of this run%s\n", yardstick ? ", and each one's speed-up over the yardstick" : "");
        const auto base = yardstick ? medians_.find(yardstick) : medians_.end();
        for (const std::string& name : order_) {
            const Median& m = medians_.at(name);
            std::printf("  %-48s %12.3f %s", name.c_str(), m.time, m.unit);
            if (base != medians_.end() && name != base->first && m.time > 0 &&
                name.rfind(compared, 0) == 0 &&
                std::string(m.unit) == base->second.unit)
                std::printf("   %6.2fx faster than %s", base->second.time / m.time, yardstick);
            std::printf("\n");
        }
    }

private:
    struct Median {
        double time;
        const char* unit;
    };
    std::map<std::string, Median> medians_;
    std::vector<std::string> order_;
};

}  // namespace

int runBenchmarks(int argc, char** argv, const char* yardstick, const char* compared) {
    // Defaults first, so that the command line overrides them.
    std::vector<char*> args = {argv[0]};
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.push_back(repetitions.data());
    args.push_back(aggregates.data());
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.summarise(yardstick, compared ? compared : "");
    benchmark::Shutdown();
    return 0;
}
