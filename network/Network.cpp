// Computing a network: flows summed up the tree, "auto" sizes from the catalogues, each section by
// the calculator's formulas, path losses, the main path, the balance at each branching.
#include "network/Network.h"

#include "common/NumberText.h"
#include "hydraulics/Sections.h"
#include "search/SizeSearch.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kalvor {

const SizeCatalogue* NetworkCatalogues::For(DuctShape shape) const {
    const std::optional<SizeCatalogue>& catalogue = shape == DuctShape::Rectangular ? rectangular
                                                    : shape == DuctShape::FlatOval  ? flatOval
                                                                                    : round;
    return catalogue ? &*catalogue : nullptr;
}

namespace {

std::optional<SizeCatalogue>& Slot(NetworkCatalogues& catalogues, DuctShape shape) {
    return shape == DuctShape::Rectangular ? catalogues.rectangular
           : shape == DuctShape::FlatOval  ? catalogues.flatOval
                                           : catalogues.round;
}

[[noreturn]] void Fail(const NetworkSection& section, const std::string& field,
                       const std::string& reason) {
    throw FieldError(section.id, field, reason);
}

std::string FloatErrorText(const FloatError& error) {
    switch (error.kind) {
    case FloatError::Kind::DivisionByZero:
        return "деление на ноль";
    case FloatError::Kind::Overflow:
        return "переполнение (слишком большие числа)";
    case FloatError::Kind::InvalidOperation:
        break;
    }
    return "недопустимая операция с плавающей точкой";
}

// The size of an "auto" section from its shape's catalogue; short says when even the catalogue's
// largest size is too small for the flow at the section's Vmax.
SectionSize ChooseSize(const Network& network, const NetworkSection& section, double flow,
                       const NetworkCatalogues& catalogues, bool& shortOfSizes) {
    const SizeCatalogue* rows = catalogues.For(section.shape);
    const std::string file = CatalogueFileName(section.shape);
    if (rows == nullptr) {
        Fail(section, "size", "каталог «" + file + "» для подбора размера не прочитан");
    }
    if (rows->A.empty()) {
        Fail(section, "size", "в каталоге «" + file + "» нет размеров");
    }
    const double Vmax = section.Vmax.value_or(network.Vmax);
    const std::size_t row = ChooseCatalogueRow(*rows, section.shape, flow, Vmax);
    shortOfSizes = row + 1 == rows->A.size() &&
                   CatalogueRowArea(*rows, section.shape, row) < RequiredArea(flow, Vmax);
    const double B = section.shape == DuctShape::Round ? 0.0 : MetresToMillimetres(rows->B.at(row));
    const std::string text = SectionSizeText(section.shape, MetresToMillimetres(rows->A[row]), B);
    std::string problem;
    const std::optional<SectionSize> size = ParseSectionSize(section.shape, text, &problem);
    if (!size) {
        Fail(section, "size",
             "в каталоге «" + file + "» выбрана запись № " + std::to_string(row + 1) + ": " +
                 problem);
    }
    return *size;
}

void ComputeSectionFigures(const Network& network, const NetworkSection& section,
                           const SectionSize& size, SectionResult& result) {
    const double A = size.A / 1000.0;
    const double B = size.B / 1000.0;
    const SectionGeometry geometry = section.shape == DuctShape::Rectangular
                                         ? RectangularSection(A, B)
                                     : section.shape == DuctShape::FlatOval ? FlatOvalSection(A, B)
                                                                            : RoundSection(A);
    result.F = geometry.F;
    result.De = geometry.De;
    if (result.flow == 0.0) {
        return; // no air, no loss: V, R, Rl, Pd, Z and P stay 0
    }
    const SectionResults r = ComputeSection(
        result.flow, geometry.F, geometry.De, WallRoughness(section.shape, section.material),
        network.air.t, network.air.PBar, section.length, result.kms);
    result.V = r.V;
    result.R = r.R;
    result.Rl = r.R * section.length;
    result.Pd = r.Pd;
    result.Z = r.Pd * result.kms;
    result.P = r.P;
}

} // namespace

NetworkCatalogues ReadNetworkCatalogues(const Network& network, const std::string& folder) {
    NetworkCatalogues catalogues;
    for (const NetworkSection& section : network.sections) {
        std::optional<SizeCatalogue>& slot = Slot(catalogues, section.shape);
        if (section.size != AutoSize || slot) {
            continue;
        }
        try {
            slot = ReadSizeCatalogueIn(folder, section.shape);
        } catch (const InOutError& error) {
            // Every section sized from it is named: none of them has a size until it is mended.
            std::string affected;
            for (const NetworkSection& other : network.sections) {
                if (other.shape == section.shape && other.size == AutoSize) {
                    affected += (affected.empty() ? "" : ", ") + other.id;
                }
            }
            Fail(section, "size",
                 "каталог «" + CatalogueFileName(section.shape) + "» в папке «" + folder +
                     "» не прочитан: " + InOutErrorText(error) +
                     "; по нему подбираются размеры участков: " + affected);
        }
    }
    return catalogues;
}

std::size_t ChooseCatalogueRow(const SizeCatalogue& rows, DuctShape shape, double Q, double Vmax) {
    return ScanCatalogue(rows, shape, 0, RequiredArea(Q, Vmax));
}

NetworkResults ComputeNetwork(const Network& network, const NetworkCatalogues& catalogues) {
    return ComputeNetwork(network, catalogues, CheckNetwork(network));
}

NetworkResults ComputeNetwork(const Network& network, const NetworkCatalogues& catalogues,
                              CheckedNetwork checked) {
    const std::vector<NetworkSection>& sections = network.sections;
    const std::size_t count = sections.size();

    NetworkResults results;
    results.tree = std::move(checked.tree);
    const NetworkTree& tree = results.tree;
    results.density = AirDensity(network.air.t, network.air.PBar);
    results.sections.resize(count);
    std::vector<SectionResult>& out = results.sections;

    // Flows, from the ends of the tree towards the root.
    for (std::size_t i = 0; i < count; ++i) {
        out[i].flow = sections[i].flow;
        out[i].terminal = tree.children[i].empty();
    }
    for (auto at = tree.order.rbegin(); at != tree.order.rend(); ++at) {
        if (tree.parent[*at] != NoSection) {
            out[tree.parent[*at]].flow += out[*at].flow;
        }
    }

    // Each section on its own, then the losses from the fan down.
    for (std::size_t i = 0; i < count; ++i) {
        const NetworkSection& section = sections[i];
        SectionResult& result = out[i];
        try {
            if (!std::isfinite(result.flow)) {
                throw FloatError::Overflow();
            }
            SectionSize size = *ParseSectionSize(section.shape, section.size);
            if (size.automatic) {
                size = ChooseSize(network, section, result.flow, catalogues, result.catalogueShort);
                result.automatic = true;
            }
            result.A = size.A;
            result.B = size.B;
            result.kms = checked.kms[i];
            ComputeSectionFigures(network, section, size, result);
            for (const double figure : {result.F, result.De, result.kms, result.V, result.R,
                                        result.Rl, result.Pd, result.Z, result.P}) {
                if (!std::isfinite(figure)) {
                    throw FloatError::Overflow(); // no figure shown is ever infinite
                }
            }
            result.Vmax = section.Vmax.value_or(network.Vmax);
            // A velocity at its limit to the last digits (a size chosen to reach it exactly) is
            // not above it.
            result.overVmax = result.V > result.Vmax * (1.0 + 1e-9);
        } catch (const FloatError& error) {
            Fail(section, "", "расчёт невозможен: " + FloatErrorText(error));
        }
        if (result.flow == 0.0) {
            results.withoutFlow.push_back(i);
        }
        if (result.overVmax) {
            results.overVmax.push_back(i);
        }
    }
    for (const std::size_t i : tree.order) {
        const std::size_t parent = tree.parent[i];
        out[i].path = (parent == NoSection ? 0.0 : out[parent].path) + out[i].P;
        if (!std::isfinite(out[i].path)) {
            Fail(sections[i], "", "расчёт невозможен: " + FloatErrorText(FloatError::Overflow()));
        }
    }
    if (count == 0) {
        return results;
    }

    // The largest path loss of a terminal at or below each section.
    std::vector<double> deepest(count, 0.0);
    for (auto at = tree.order.rbegin(); at != tree.order.rend(); ++at) {
        const std::size_t i = *at;
        if (out[i].terminal) {
            deepest[i] = out[i].path;
        } else {
            deepest[i] = deepest[tree.children[i].front()];
            for (const std::size_t child : tree.children[i]) {
                deepest[i] = std::max(deepest[i], deepest[child]);
            }
        }
    }

    // The main path: to the terminal with the largest path loss, the first in file order on a tie.
    std::size_t mainTerminal = NoSection;
    for (std::size_t i = 0; i < count; ++i) {
        if (out[i].terminal &&
            (mainTerminal == NoSection || out[i].path > out[mainTerminal].path)) {
            mainTerminal = i;
        }
    }
    for (std::size_t at = mainTerminal; at != NoSection; at = tree.parent[at]) {
        out[at].main = true;
        results.mainPath.push_back(at);
    }
    std::reverse(results.mainPath.begin(), results.mainPath.end()); // from the root
    results.mainLoss = out[mainTerminal].path;
    results.fanPressure = results.mainLoss * (1.0 + network.reserve / 100.0);
    if (!std::isfinite(results.fanPressure)) {
        throw NetworkError("поле «reserve»: давление вентилятора с таким запасом не вычислить", "",
                           "reserve");
    }

    // Balance: at each branching the child with the largest loss leads and the others are compared.
    // A lead loss of 0 leaves nothing to balance: the others lose 0 too, an imbalance of 0.
    for (std::size_t n = 0; n < count; ++n) {
        const std::vector<std::size_t>& children = tree.children[n];
        if (children.size() < 2) {
            continue;
        }
        std::size_t lead = children.front();
        for (const std::size_t child : children) {
            if (deepest[child] > deepest[lead]) {
                lead = child;
            }
        }
        const double leadLoss = deepest[lead] - out[n].path;
        for (const std::size_t child : children) {
            if (child == lead || out[child].flow == 0.0) {
                continue; // a branch without air has nothing to balance
            }
            const double own = deepest[child] - out[n].path;
            const double imbalance = leadLoss > 0.0 ? (leadLoss - own) / leadLoss * 100.0 : 0.0;
            out[child].imbalance = imbalance;
            out[child].flagged = imbalance > network.tolerance;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (out[i].flagged) {
            results.flagged.push_back(i);
        }
    }
    return results;
}

} // namespace kalvor
