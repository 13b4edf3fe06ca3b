// Networks computed whole (flows, catalogue sizes, fittings, every section, paths and balance): a
// tree of 10,000 sections as a building's supply has them and a chain of 100,000, beside the
// floor, a bare loop of the same formulas over the same tree.
#include "fittings/Fittings.h"
#include "hydraulics/Formulas.h"
#include "hydraulics/Sections.h"
#include "network/Network.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace kalvor;

std::string Id(std::size_t i) {
    std::string id = std::to_string(i);
    id.insert(id.begin(), 's');
    return id;
}

// Fittings as a designer lists them: a tee at every branch, elbows on every other section.
std::vector<FittingUse> Fittings(std::size_t i) {
    std::vector<FittingUse> fittings = {
        {"tee-supply-branch", {{"angle", 90}, {"q", 0.3}, {"f_b", 0.5}}, 1}};
    if (i % 2 == 0) {
        fittings.push_back(
            {"elbow-round", {{"angle", 90}, {"r_d", 1}}, static_cast<double>(1 + i % 3)});
    }
    return fittings;
}

// A supply tree: a trunk of 100 sections, each with a riser of 10 hanging from it, each riser
// section feeding branches of up to 9 sections to the grilles. The shapes are taken in turn;
// every fourth size is "auto", the others shrink from trunk to grille; air at the grilles.
Network SupplyTree(std::size_t count) {
    Network network;
    network.sections.reserve(count);
    const char* sizes[3][3] = {{"1000*800", "600*400", "250*200"},
                               {"1200*600", "600*300", "300*150"},
                               {"1000", "500", "200"}};
    std::size_t trunk = 0, riser = 0;
    for (std::size_t i = 0; i < count; ++i) {
        NetworkSection s;
        s.id = Id(i);
        int level = 0;
        if (i % 100 == 0) { // the trunk, each hanging from the trunk before it
            s.parent = i == 0 ? std::string() : Id(trunk);
            trunk = i;
            riser = i;
        } else if (i % 10 == 0) { // a riser from the trunk or the riser section below it
            s.parent = Id(riser);
            riser = i;
            level = 1;
        } else { // a branch of the riser section, each hanging from the one before it
            s.parent = Id(i % 10 == 1 ? riser : i - 1);
            level = 2;
        }
        s.shape = static_cast<DuctShape>(i % 3);
        s.size = i % 4 == 0 ? std::string(AutoSize) : sizes[i % 3][level];
        s.material = static_cast<int>(i % 2);
        s.length = 1.0 + static_cast<double>(i % 7);
        s.kms = 0.1 * static_cast<double>(i % 5);
        s.flow = level == 2 ? 150.0 + static_cast<double>(i % 50) : 0.0;
        s.fittings = Fittings(i);
        network.sections.push_back(std::move(s));
    }
    return network;
}

// Each section hanging from the one before it, air at every one.
Network Chain(std::size_t count) {
    Network network;
    network.sections.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        NetworkSection s;
        s.id = Id(i);
        s.parent = i == 0 ? std::string() : Id(i - 1);
        s.shape = DuctShape::Round;
        s.size = i % 4 == 0 ? std::string(AutoSize) : "400";
        s.length = 2;
        s.flow = 0.05;
        if (i % 10 == 0) {
            s.fittings = Fittings(i);
        }
        network.sections.push_back(std::move(s));
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

void Compute(benchmark::State& state, const Network& network) {
    const NetworkCatalogues catalogues = Catalogues();
    const NetworkResults once = ComputeNetwork(network, catalogues);
    if (once.mainPath.empty() || once.fanPressure <= 0) {
        state.SkipWithError("the network computes to no loss");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeNetwork(network, catalogues));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ComputeNetwork(benchmark::State& state) {
    Compute(state, SupplyTree(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ComputeNetwork)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_ComputeNetworkChain(benchmark::State& state) {
    Compute(state, Chain(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_ComputeNetworkChain)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The least any computation of the tree must do: the tree linked, its ids and sizes read, and
// the checks done beforehand; then the flows summed up the tree, the "auto" sizes chosen, each
// fitting's ζ, each section's geometry and losses, the paths from the fan and the largest.
void BM_ComputeFloor(benchmark::State& state) {
    const Network network = SupplyTree(static_cast<std::size_t>(state.range(0)));
    const NetworkCatalogues catalogues = Catalogues();
    const NetworkTree tree = BuildNetworkTree(network);
    const std::size_t count = network.sections.size();
    std::vector<SectionSize> sizes(count);
    for (std::size_t i = 0; i < count; ++i) {
        sizes[i] = *ParseSectionSize(network.sections[i].shape, network.sections[i].size);
    }
    std::vector<double> flow(count), path(count);
    double largest = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) {
            flow[i] = network.sections[i].flow;
        }
        for (auto at = tree.order.rbegin(); at != tree.order.rend(); ++at) {
            if (tree.parent[*at] != NoSection) {
                flow[tree.parent[*at]] += flow[*at];
            }
        }
        largest = 0;
        for (const std::size_t i : tree.order) {
            const NetworkSection& s = network.sections[i];
            double A = sizes[i].A / 1000.0, B = sizes[i].B / 1000.0;
            if (sizes[i].automatic) {
                const SizeCatalogue& rows = *catalogues.For(s.shape);
                const std::size_t row = ChooseCatalogueRow(rows, s.shape, flow[i], network.Vmax);
                A = rows.A[row];
                B = s.shape == DuctShape::Round ? 0.0 : rows.B[row];
            }
            const SectionGeometry geometry =
                s.shape == DuctShape::Rectangular ? RectangularSection(A, B)
                : s.shape == DuctShape::FlatOval  ? FlatOvalSection(A, B)
                                                  : RoundSection(A);
            const double kms = s.kms + FittingsZetaSum(s.fittings);
            const SectionResults r =
                ComputeSection(flow[i], geometry.F, geometry.De, WallRoughness(s.shape, s.material),
                               network.air.t, network.air.PBar, s.length, kms);
            path[i] = (tree.parent[i] == NoSection ? 0.0 : path[tree.parent[i]]) + r.P;
            largest = std::max(largest, path[i]);
        }
        benchmark::DoNotOptimize(largest);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeFloor)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
