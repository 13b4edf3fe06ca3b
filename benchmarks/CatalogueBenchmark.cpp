// Reading and writing a catalogue of 100,000 rows, beside a baseline that only reads the same
// bytes and converts every number with std::from_chars.
#include "BenchFolder.h"

#include "catalogues/CatalogueFile.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace kalvor;

constexpr DuctShape Rect = DuctShape::Rectangular;

void BM_ReadSizeCatalogue(benchmark::State& state) {
    const bench::BenchFolder folder;
    const auto rows = static_cast<std::size_t>(state.range(0));
    WriteSizeCatalogue(Rect, bench::LargeCatalogue(Rect, rows));
    for (auto _ : state) {
        const SizeCatalogue catalogue = ReadSizeCatalogue(Rect);
        if (catalogue.A.size() != rows) {
            state.SkipWithError("the catalogue read back has another number of rows");
            break;
        }
        benchmark::DoNotOptimize(catalogue.B.back());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadSizeCatalogue)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The least any reader of the file must do: take its bytes and convert each blank-separated
// number, with no checks of the form and no entries kept.
void BM_ReadBaseline(benchmark::State& state) {
    const bench::BenchFolder folder;
    const auto rows = static_cast<std::size_t>(state.range(0));
    WriteSizeCatalogue(Rect, bench::LargeCatalogue(Rect, rows));
    for (auto _ : state) {
        // One read of the whole file into a buffer of its size, as fast as a stream gives it.
        std::ifstream in(CatalogueFileName(Rect), std::ios::binary | std::ios::ate);
        std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const char* p = bytes.data();
        const char* const end = p + bytes.size();
        double sum = 0.0;
        std::size_t numbers = 0;
        for (;;) {
            while (p < end && static_cast<unsigned char>(*p) <= 32) {
                ++p;
            }
            if (p == end) {
                break;
            }
            double value = 0.0;
            p = std::from_chars(p, end, value).ptr;
            sum += value;
            ++numbers;
            while (p<end&& static_cast<unsigned char>(*p)> 32) {
                ++p;
            }
        }
        if (numbers != 2 * rows) {
            state.SkipWithError("the baseline found another count of numbers");
            break;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadBaseline)->Arg(100'000)->Unit(benchmark::kMillisecond);

// A whole save: the text formed, written to a temporary file, synced and renamed over the file.
void BM_WriteSizeCatalogue(benchmark::State& state) {
    const bench::BenchFolder folder;
    const SizeCatalogue catalogue =
        bench::LargeCatalogue(Rect, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        WriteSizeCatalogue(Rect, catalogue);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteSizeCatalogue)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
