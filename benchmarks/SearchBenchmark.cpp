// The size search over large catalogues and the stepping of a free side, measured.
#include "BenchFolder.h"

#include "catalogues/CatalogueFile.h"
#include "hydraulics/Formulas.h"
#include "search/SizeSearch.h"
#include "settings/SettingsStore.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalvor;

// What the search button does in the core: the size search itself, reading the three catalogues
// afresh and scanning each. The needed area exceeds every row, so every scan walks to the last.
void BM_WholeSearch(benchmark::State& state) {
    const bench::BenchFolder folder;
    bench::WriteLargeCatalogues(static_cast<std::size_t>(state.range(0)));
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    store.WriteInteger("mm", 1);
    store.WriteInteger("AB", 0);
    SizeSearchInputs inputs;
    inputs.Q = 1e9;
    inputs.Vmax = 1.0;
    double SizeA = 0.0, SizeB = 0.0;
    for (auto _ : state) {
        const SizeSearchResult result = RunSizeSearch(inputs, store, SizeA, SizeB);
        if (result.end != SizeSearchEnd::Completed) {
            state.SkipWithError("the search did not complete");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 3);
}
BENCHMARK(BM_WholeSearch)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The free side grown by one million additions.
void BM_StepFreeSide(benchmark::State& state) {
    const double step = 0.001;
    const double held = 1.0;
    const double Fneeded = held * step * 999'999.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(StepFreeSide(held, step, Fneeded));
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_StepFreeSide)->Unit(benchmark::kMillisecond);

} // namespace
