// A network of 10,000 sections computed whole: flows, sizes, every section, paths and balance.
#include "network/Network.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace kalvor;

std::string Id(std::size_t i) {
    std::string id = std::to_string(i);
    id.insert(id.begin(), 's');
    return id;
}

// A tree in which each section has up to three branches, the shapes taken in turn, every tenth
// size chosen from a catalogue, flows at the terminals.
Network LargeNetwork(std::size_t count) {
    Network network;
    network.sections.reserve(count);
    const char* sizes[] = {"1000*800", "800*400", "250*200"};
    const char* ovals[] = {"1200*600", "600*300", "300*150"};
    const char* rounds[] = {"1000", "630", "200"};
    for (std::size_t i = 0; i < count; ++i) {
        NetworkSection s;
        s.id = Id(i);
        s.parent = i == 0 ? std::string() : Id((i - 1) / 3);
        s.shape = static_cast<DuctShape>(i % 3);
        const std::size_t depth = i < 4 ? 0 : i < 400 ? 1 : 2;
        s.size = i % 10 == 0                         ? "auto"
                 : s.shape == DuctShape::Rectangular ? sizes[depth]
                 : s.shape == DuctShape::FlatOval    ? ovals[depth]
                                                     : rounds[depth];
        s.material = static_cast<int>(i % 2);
        s.length = 1.0 + static_cast<double>(i % 7);
        s.kms = 0.1 * static_cast<double>(i % 13);
        s.flow = 3 * i + 1 > count ? 150.0 + static_cast<double>(i % 50) : 0.0;
        network.sections.push_back(s);
    }
    return network;
}

// Catalogues of 40 rows each, in order of growing area.
NetworkCatalogues Catalogues() {
    NetworkCatalogues catalogues;
    catalogues.rectangular.emplace();
    catalogues.flatOval.emplace();
    catalogues.round.emplace();
    for (int i = 1; i <= 40; ++i) {
        const double size = 0.05 * i;
        catalogues.rectangular->A.push_back(size);
        catalogues.rectangular->B.push_back(size / 2);
        catalogues.flatOval->A.push_back(size);
        catalogues.flatOval->B.push_back(size / 2);
        catalogues.round->A.push_back(size);
    }
    return catalogues;
}

void BM_ComputeNetwork(benchmark::State& state) {
    const Network network = LargeNetwork(static_cast<std::size_t>(state.range(0)));
    const NetworkCatalogues catalogues = Catalogues();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeNetwork(network, catalogues));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeNetwork)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
