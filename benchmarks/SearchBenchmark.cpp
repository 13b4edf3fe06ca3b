// The size search over large catalogues and the stepping of a free side, measured.
#include "catalogues/CatalogueFile.h"
#include "hydraulics/Formulas.h"
#include "search/SizeSearch.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace kalvor;

// A folder holding three catalogues of `rows` rows in order of growing area.
class CatalogueFolder {
public:
    explicit CatalogueFolder(std::size_t rows) {
        m_dir =
            std::filesystem::temp_directory_path() / ("kalvor-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        SizeCatalogue round, rect, oval;
        for (std::size_t i = 0; i < rows; ++i) {
            const double size = 0.1 + 0.001 * static_cast<double>(i);
            round.A.push_back(size);
            rect.A.push_back(size);
            rect.B.push_back(size / 2);
            oval.A.push_back(size);
            oval.B.push_back(size / 4);
        }
        WriteSizeCatalogue(DuctShape::Round, round);
        WriteSizeCatalogue(DuctShape::Rectangular, rect);
        WriteSizeCatalogue(DuctShape::FlatOval, oval);
    }
    ~CatalogueFolder() {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_dir);
    }

private:
    std::filesystem::path m_dir, m_previous;
};

// What the search button does in the core: read the three catalogues afresh and scan each. The
// needed area exceeds every row, so every scan walks to the last row.
void BM_WholeSearch(benchmark::State& state) {
    const CatalogueFolder folder(static_cast<std::size_t>(state.range(0)));
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
