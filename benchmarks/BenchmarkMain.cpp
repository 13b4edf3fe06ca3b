// Runs the benchmarks into one table and checks the goals: a run of editChange under 200 us (the
// median of single runs), a catalogue read within twice the baseline's time, a network of 10,000
// sections computed in under 20 ms, and a cell edited on the network window of 1,000 sections,
// recomputed and repainted, under 16 ms (median).
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
        const Result& edit = m_results["BM_editChange"];
        if (edit.present) {
            const bool ok = edit.medianMicros < 200.0;
            std::printf(
                "  editChange, median of single runs   %8.1f us   goal: under 200 us   %s\n",
                edit.medianMicros, ok ? "met" : "MISSED");
            met = met && ok;
        }
        const Result& cell = m_results["BM_NetworkCellEdit"];
        if (cell.present) {
            const double milliseconds = cell.medianMicros / 1000.0;
            const bool ok = milliseconds < 16.0;
            std::printf("  network cell edit, 1,000 sections %8.2f ms   goal: under 16 ms    %s\n",
                        milliseconds, ok ? "met" : "MISSED");
            met = met && ok;
        }
        const Result& read = m_results["BM_ReadSizeCatalogue"];
        const Result& baseline = m_results["BM_ReadBaseline"];
        if (read.present && baseline.present) {
            const double ratio = read.seconds / baseline.seconds;
            const bool ok = ratio <= 2.0;
            std::printf(
                "  ReadSizeCatalogue / baseline        %8.2f      goal: within 2       %s\n", ratio,
                ok ? "met" : "MISSED");
            met = met && ok;
        }
        const Result& network = m_results["BM_ComputeNetwork"];
        if (network.present) {
            const double milliseconds = network.seconds * 1000.0;
            const bool ok = milliseconds < 20.0;
            std::printf(
                "  ComputeNetwork, 10,000 sections     %8.2f ms   goal: under 20 ms    %s\n",
                milliseconds, ok ? "met" : "MISSED");
            met = met && ok;
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
