// Runs the benchmarks into one table and prints each figure against its goal: a run of editChange
// under 200 us (the median of single runs), a catalogue read within twice the baseline's time, a
// cell edited on the network window of 1,000 sections under 16 ms and a key in its "t" box under
// 8 ms at 1,000 sections and 16 ms at 10,000 (medians, until the event loop is idle), a tree of
// 10,000 sections computed within 5 times the floor (the bare loop of its formulas, printed
// beside), and a chain of 100,000 sections in under 20 ms.
#include <benchmark/benchmark.h>

#ifdef KALVOR_BENCHMARK_WINDOWS
#include <QApplication>
#endif

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The console table, which also keeps each benchmark's real time and counters for the goals.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    GoalReporter()
        : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark, else its one run.
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (run.error_occurred || (aggregate && run.aggregate_name != "median")) {
                continue;
            }
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) {
                name += "/" + run.run_name.args;
            }
            Result& result = m_results[name];
            if (aggregate || !result.fromMedian) {
                result.seconds =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                if (const auto counter = run.counters.find("median_us");
                    counter != run.counters.end()) {
                    result.medianMicros = counter->second.value;
                }
                result.fromMedian = aggregate;
                result.present = true;
            }
        }
    }

    // Prints the goals; false when one was missed.
    bool Goals() {
        std::printf("\nGoals\n");
        bool met = true;
        auto goal = [&](const char* what, double figure, const char* unit, double limit,
                        const char* goalText) {
            const bool ok = figure <= limit;
            std::printf("  %-40s %9.2f %-3s  goal: %-22s %s\n", what, figure, unit, goalText,
                        ok ? "met" : "MISSED");
            met = met && ok;
        };
        if (const Result* edit = Find("BM_editChange")) {
            goal("editChange, median of single runs", edit->medianMicros, "us", 200.0,
                 "under 200 us");
        }
        if (const Result* cell = Find("BM_NetworkCellEdit")) {
            goal("network cell edit, 1,000 sections", cell->medianMicros / 1000.0, "ms", 16.0,
                 "under 16 ms");
        }
        if (const Result* key = Find("BM_NetworkKeyInT/1000")) {
            goal("key in \"t\", 1,000 sections", key->medianMicros / 1000.0, "ms", 8.0,
                 "under 8 ms");
        }
        if (const Result* key = Find("BM_NetworkKeyInT/10000")) {
            goal("key in \"t\", 10,000 sections", key->medianMicros / 1000.0, "ms", 16.0,
                 "under 16 ms");
        }
        const Result* read = Find("BM_ReadSizeCatalogue/100000");
        const Result* baseline = Find("BM_ReadBaseline/100000");
        if (read != nullptr && baseline != nullptr) {
            goal("ReadSizeCatalogue / baseline", read->seconds / baseline->seconds, "", 2.0,
                 "within 2");
        }
        const Result* network = Find("BM_ComputeNetwork/10000");
        const Result* floor = Find("BM_ComputeFloor/10000");
        if (network != nullptr && floor != nullptr) {
            std::printf("  %-40s %9.2f ms   floor %.2f ms\n", "ComputeNetwork, 10,000 sections",
                        network->seconds * 1000.0, floor->seconds * 1000.0);
            goal("ComputeNetwork / floor", network->seconds / floor->seconds, "", 5.0, "at most 5");
        }
        if (const Result* chain = Find("BM_ComputeNetworkChain/100000")) {
            goal("ComputeNetwork, chain of 100,000", chain->seconds * 1000.0, "ms", 20.0,
                 "under 20 ms");
        }
        return met;
    }

private:
    struct Result {
        double seconds = 0.0;
        double medianMicros = 0.0;
        bool fromMedian = false;
        bool present = false;
    };
    const Result* Find(const std::string& name) const {
        const auto found = m_results.find(name);
        return found != m_results.end() && found->second.present ? &found->second : nullptr;
    }

    std::map<std::string, Result> m_results;
};

} // namespace

int main(int argc, char** argv) {
#ifdef KALVOR_BENCHMARK_WINDOWS
    // The windows are measured offscreen: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.Goals() ? 0 : 1;
}
