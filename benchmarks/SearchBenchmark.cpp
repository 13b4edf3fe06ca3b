// The size search over large catalogues and the stepping of a free side, measured.
#include "BenchFolder.h"

#include "catalogues/CatalogueFile.h"
#include "hydraulics/Formulas.h"
#include "search/SizeSearch.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalvor;

// What the search button does in the core: read the three catalogues afresh and scan each. The
// needed area exceeds every row, so every scan walks to the last row.
void BM_WholeSearch(benchmark::State& state) {
    const bench::BenchFolder folder;
    bench::WriteLargeCatalogues(static_cast<std::size_t>(state.range(0)));
    const double Fneeded = RequiredArea(1e9, 1.0);
    for (auto _ : state) {
        const SizeCatalogue round = ReadSizeCatalogue(DuctShape::Round, "Roundduct.txt");
        benchmark::DoNotOptimize(ScanCatalogue(round, DuctShape::Round, 0, Fneeded));
        const SizeCatalogue rect = ReadSizeCatalogue(DuctShape::Rectangular);
        benchmark::DoNotOptimize(ScanCatalogue(rect, DuctShape::Rectangular, 0, Fneeded));
        const SizeCatalogue oval = ReadSizeCatalogue(DuctShape::FlatOval);
        benchmark::DoNotOptimize(ScanCatalogue(oval, DuctShape::FlatOval, 1, Fneeded));
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
