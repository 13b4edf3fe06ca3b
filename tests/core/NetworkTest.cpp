// Tests of the network calculation: the hand-computed network figure by figure, the main path and
// the balance, sizes chosen from the catalogues, sections without air, and what cannot be computed.
#include "network/Network.h"
#include "network/NetworkFile.h"

#include "NetworkSample.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;
using test::Close;

NetworkSection Section(std::string id, std::string parent, DuctShape shape, std::string size,
                       double length, double kms, double flow, int material = 0) {
    NetworkSection s;
    s.id = std::move(id);
    s.parent = std::move(parent);
    s.shape = shape;
    s.size = std::move(size);
    s.material = material;
    s.length = length;
    s.kms = kms;
    s.flow = flow;
    return s;
}

constexpr DuctShape Rect = DuctShape::Rectangular;
constexpr DuctShape Oval = DuctShape::FlatOval;
constexpr DuctShape Round = DuctShape::Round;

TEST(Network, EveryFigureOfTheHandComputedNetwork) {
    const Network network = ParseNetworkText(test::SampleNetworkText);
    const NetworkResults results = ComputeNetwork(network);
    ASSERT_EQ(results.sections.size(), std::size(test::SampleRows));
    EXPECT_TRUE(Close(results.density, test::SampleDensity)) << results.density;
    for (std::size_t i = 0; i < results.sections.size(); ++i) {
        const test::SampleRow& expected = test::SampleRows[i];
        const SectionResult& r = results.sections[i];
        SCOPED_TRACE(expected.id);
        EXPECT_EQ(network.sections[i].id, expected.id);
        const std::pair<double, double> figures[] = {
            {r.flow, expected.flow}, {r.F, expected.F}, {r.De, expected.De},
            {r.V, expected.V},       {r.R, expected.R}, {r.Rl, expected.Rl},
            {r.Pd, expected.Pd},     {r.Z, expected.Z}, {r.P, expected.P},
            {r.path, expected.path},
        };
        const char* names[] = {"flow", "F", "De", "V", "R", "Rl", "Pd", "Z", "P", "path"};
        for (std::size_t f = 0; f < std::size(figures); ++f) {
            EXPECT_TRUE(Close(figures[f].first, figures[f].second))
                << names[f] << " " << figures[f].first << " expected " << figures[f].second;
        }
        EXPECT_EQ(r.main, expected.main);
        ASSERT_EQ(r.imbalance.has_value(), expected.imbalance.has_value());
        if (expected.imbalance) {
            EXPECT_TRUE(Close(*r.imbalance, *expected.imbalance)) << *r.imbalance;
            EXPECT_EQ(r.flagged, *expected.imbalance > 12.0);
        }
        EXPECT_FALSE(r.automatic);
    }
}

TEST(Network, MainPathFanPressureAndFlags) {
    const Network network = ParseNetworkText(test::SampleNetworkText);
    const NetworkResults results = ComputeNetwork(network);
    std::vector<std::string> path;
    for (const std::size_t i : results.mainPath) {
        path.push_back(network.sections[i].id);
    }
    EXPECT_EQ(path, (std::vector<std::string>{"1", "2", "5", "6"}));
    EXPECT_TRUE(Close(results.mainLoss, test::SampleMainLoss)) << results.mainLoss;
    EXPECT_TRUE(Close(results.fanPressure, test::SampleFanPressure)) << results.fanPressure;
    std::vector<std::string> flagged;
    for (const std::size_t i : results.flagged) {
        flagged.push_back(network.sections[i].id);
    }
    EXPECT_EQ(flagged, (std::vector<std::string>{"7", "8"})); // 3 at 9.99 % and 4 at 5.59 % pass
    // With the default tolerance of 10 % section 3 still passes, just.
    Network strict = network;
    strict.tolerance = 9.9;
    EXPECT_TRUE(ComputeNetwork(strict).sections[1].flagged);
}

TEST(Network, TiesGoToTheFirstInFileOrder) {
    struct Case {
        const char* what;
        std::vector<NetworkSection> sections;
        std::vector<std::string> mainPath;
        std::vector<std::optional<double>> imbalances;
    } const cases[] = {
        {"two equal terminals",
         {Section("r", "", Rect, "400*300", 5, 1, 0), Section("b", "r", Round, "250", 4, 1, 700),
          Section("a", "r", Round, "250", 4, 1, 700)},
         {"r", "b"},
         {std::nullopt, std::nullopt, 0.0}},
        {"equal terminals listed the other way",
         {Section("a", "r", Round, "250", 4, 1, 700), Section("r", "", Rect, "400*300", 5, 1, 0),
          Section("b", "r", Round, "250", 4, 1, 700)},
         {"r", "a"},
         {std::nullopt, std::nullopt, 0.0}},
        // A branch that carries no air has nothing to balance: it is not compared, never flagged.
        {"nothing flows",
         {Section("r", "", Rect, "400*300", 0, 0, 0), Section("x", "r", Round, "250", 0, 0, 0),
          Section("y", "r", Round, "250", 3, 2, 0)},
         {"r", "x"},
         {std::nullopt, std::nullopt, std::nullopt}},
        {"a branch without air beside one with air",
         {Section("r", "", Rect, "400*300", 5, 1, 0), Section("x", "r", Round, "250", 4, 1, 700),
          Section("y", "r", Round, "250", 3, 2, 0)},
         {"r", "x"},
         {std::nullopt, std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Network network;
        network.sections = c.sections;
        const NetworkResults results = ComputeNetwork(network);
        std::vector<std::string> path;
        for (const std::size_t i : results.mainPath) {
            path.push_back(network.sections[i].id);
        }
        EXPECT_EQ(path, c.mainPath);
        for (std::size_t i = 0; i < c.imbalances.size(); ++i) {
            EXPECT_EQ(results.sections[i].imbalance, c.imbalances[i]) << i;
            EXPECT_FALSE(results.sections[i].flagged);
        }
    }
}

TEST(Network, SectionsWithoutAirLoseNothing) {
    Network network;
    network.sections = {Section("r", "", Rect, "500*300", 10, 1.5, 0),
                        Section("t", "r", Round, "400", 5, 2, 0)};
    const NetworkResults results = ComputeNetwork(network);
    for (const SectionResult& r : results.sections) {
        for (const double value : {r.V, r.R, r.Rl, r.Pd, r.Z, r.P, r.path}) {
            EXPECT_EQ(value, 0.0);
        }
    }
    EXPECT_DOUBLE_EQ(results.sections[0].F, 0.15); // the geometry is still that of the size
    EXPECT_DOUBLE_EQ(results.sections[0].De, 0.375);
    EXPECT_EQ(results.withoutFlow, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(results.fanPressure, 0.0);
}

TEST(Network, EmptyNetworkComputesToNothing) {
    const NetworkResults results = ComputeNetwork(Network{});
    EXPECT_TRUE(results.sections.empty());
    EXPECT_TRUE(results.mainPath.empty());
    EXPECT_EQ(results.fanPressure, 0.0);
}

// Catalogues: round 100..500 mm, rectangular 400, 500 and 600 by 300, flat oval 300*100 and
// 500*250.
NetworkCatalogues TestCatalogues() {
    NetworkCatalogues catalogues;
    catalogues.round = SizeCatalogue{{0.1, 0.2, 0.25, 0.315, 0.4, 0.5}, {}};
    catalogues.rectangular = SizeCatalogue{{0.4, 0.5, 0.6}, {0.3, 0.3, 0.3}};
    catalogues.flatOval = SizeCatalogue{{0.3, 0.5}, {0.1, 0.25}};
    return catalogues;
}

TEST(Network, AutoSizesFromTheCatalogues) {
    Network network; // Vmax 6
    network.sections = {
        Section("A", "", Round, "auto", 10, 1, 0),    // 8380 m3/h: none suffices, the last row
        Section("B", "A", Rect, "auto", 5, 1, 3240),  // exactly 0.15 m2 needed: 500*300 reaches it
        Section("C", "A", Oval, "auto", 5, 1, 100),   // the flat oval's row 0 may be chosen
        Section("D", "A", Round, "auto", 5, 1, 1800), // Vmax 3: 0.1667 m2, 500
        Section("E", "A", Rect, "auto", 5, 1, 3240),  // Vmax 0.5: 1.8 m2, the last row
        Section("F", "A", Round, "auto", 5, 1, 0),    // no air: 0 m2, row 0
        Section("G", "A", Round, "315", 5, 1, 10)};   // a typed size stays
    network.sections[3].Vmax = 3.0;
    network.sections[4].Vmax = 0.5;
    // short: the catalogue's largest size taken and still too small; over: faster than Vmax (B
    // runs at its Vmax to the last digit, which is not above it).
    struct Expected {
        double A, B, F;
        bool automatic, catalogueShort, overVmax;
    } const expected[] = {
        {500, 0, 0.196349540849362, true, true, true},
        {500, 300, 0.15, true, false, false},
        {300, 100, 0.0278539816339745, true, false, false},
        {500, 0, 0.196349540849362, true, false, false},
        {600, 300, 0.18, true, true, true},
        {100, 0, 0.00785398163397448, true, false, false},
        {315, 0, 0.0779311327631118, false, false, false},
    };
    const NetworkResults results = ComputeNetwork(network, TestCatalogues());
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(network.sections[i].id);
        EXPECT_EQ(results.sections[i].A, expected[i].A);
        EXPECT_EQ(results.sections[i].B, expected[i].B);
        EXPECT_TRUE(test::Close(results.sections[i].F, expected[i].F)) << results.sections[i].F;
        EXPECT_EQ(results.sections[i].automatic, expected[i].automatic);
        EXPECT_EQ(results.sections[i].catalogueShort, expected[i].catalogueShort);
        EXPECT_EQ(results.sections[i].overVmax, expected[i].overVmax);
    }
    EXPECT_EQ(results.overVmax, (std::vector<std::size_t>{0, 4}));
    EXPECT_EQ(results.sections[4].Vmax, 0.5); // its own, not the network's
    EXPECT_EQ(results.sections[0].flow, 3240 + 100 + 1800 + 3240 + 0 + 10);
    // The network's own Vmax where a section has none: 1800 m3/h at 6 m/s needs 0.0833 m2, 400.
    network.sections[3].Vmax.reset();
    EXPECT_EQ(ComputeNetwork(network, TestCatalogues()).sections[3].A, 400);
    // A chosen size computes exactly as the same size typed.
    Network typed = network;
    typed.sections[3].size = "400";
    EXPECT_EQ(ComputeNetwork(typed, TestCatalogues()).sections[3].P,
              ComputeNetwork(network, TestCatalogues()).sections[3].P);
}

TEST(Network, CataloguesReadFromAFolder) {
    const fs::path folder =
        fs::temp_directory_path() / ("kalvor-network-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    test::WriteFile(folder / "roundduct.txt", "0.2\r\n0.4\r\n");
    Network network;
    network.sections = {Section("1", "", Rect, "500*300", 5, 1, 0),
                        Section("2", "1", Round, "auto", 5, 1, 1800)};
    const fs::path before = fs::current_path();
    const NetworkCatalogues catalogues = ReadNetworkCatalogues(network, folder.string());
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(catalogues.rectangular); // no rectangular section is "auto"
    EXPECT_EQ(ComputeNetwork(network, catalogues).sections[1].A, 400);

    network.sections.push_back(Section("3", "1", Oval, "auto", 5, 1, 100));
    try {
        ReadNetworkCatalogues(network, folder.string());
        ADD_FAILURE() << "no error";
    } catch (const NetworkError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "участок «3», поле «size»: каталог «OvalDuct.txt» в папке «" + folder.string() +
                      "» не прочитан: файл не найден; по нему подбираются размеры участков: 3");
        EXPECT_EQ(error.sectionId, "3");
        EXPECT_EQ(error.field, "size");
    }
    fs::remove_all(folder);
}

TEST(Network, WhatCannotBeComputed) {
    auto network = [](std::vector<NetworkSection> sections) {
        Network n;
        n.sections = std::move(sections);
        return n;
    };
    NetworkCatalogues zeroRow;
    zeroRow.round = SizeCatalogue{{0.2, 0.0}, {}}; // blanks after the last entry give a row of 0
    NetworkCatalogues empty;
    empty.round = SizeCatalogue{};
    struct Case {
        Network network;
        NetworkCatalogues catalogues;
        std::string message, id, field;
    } const cases[] = {
        {network({Section("1", "", Round, "auto", 5, 1, 5000)}), zeroRow,
         "участок «1», поле «size»: в каталоге «RoundDuct.txt» выбрана запись № 2: «0» — не "
         "размер; "
         "ожидается диаметр в мм, например «400», или «auto»",
         "1", "size"},
        {network({Section("1", "", Round, "auto", 5, 1, 5000)}), empty,
         "участок «1», поле «size»: в каталоге «RoundDuct.txt» нет размеров", "1", "size"},
        {network({Section("1", "", Round, "auto", 5, 1, 5000)}),
         {},
         "участок «1», поле «size»: каталог «RoundDuct.txt» для подбора размера не прочитан",
         "1",
         "size"},
        {network({Section("1", "", Round, "400", 1e308, 1, 5000)}),
         {},
         "участок «1»: расчёт невозможен: переполнение (слишком большие числа)",
         "1",
         ""},
        // A network changed in memory is held to the file's rules before it is computed.
        {network(
             {Section("1", "", Round, "400", 5, 1, 0), Section("1", "", Round, "400", 5, 1, 0)}),
         {},
         "участок «1», поле «id»: такой id уже есть у участка № 1 по порядку в файле",
         "1",
         "id"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            ComputeNetwork(c.network, c.catalogues);
            ADD_FAILURE() << "no error";
        } catch (const NetworkError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
            EXPECT_EQ(error.sectionId, c.id);
            EXPECT_EQ(error.field, c.field);
        }
    }
}

} // namespace
} // namespace kalvor

namespace kalvor {
namespace {

// What a check finds is what the computation takes: the same results as a computation that
// checks for itself, and the tree kept in the results.
TEST(Network, ComputedFromTheCheckAsFromItself) {
    CheckedNetwork checked;
    const Network network = ParseNetworkText(test::SampleNetworkText, &checked);
    const NetworkTree tree = BuildNetworkTree(network);
    EXPECT_EQ(checked.tree.parent, tree.parent);
    EXPECT_EQ(checked.tree.order, tree.order);
    ASSERT_EQ(checked.kms.size(), network.sections.size());
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        EXPECT_EQ(checked.kms[i], SectionKms(network.sections[i]));
    }
    const NetworkResults itself = ComputeNetwork(network);
    const NetworkResults handed = ComputeNetwork(network, {}, std::move(checked));
    EXPECT_EQ(handed.mainPath, itself.mainPath);
    EXPECT_EQ(handed.tree.children, tree.children);
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        EXPECT_EQ(handed.sections[i].P, itself.sections[i].P);
        EXPECT_EQ(handed.sections[i].kms, itself.sections[i].kms);
    }
}

// The main path runs from the root down, whatever the order of the file.
TEST(Network, MainPathFromTheRootOfAChain) {
    struct Case {
        std::vector<std::string> parents; // section i is "i"
        std::vector<std::size_t> mainPath;
    } const cases[] = {
        {{"", "0", "1", "2", "3"}, {0, 1, 2, 3, 4}},
        {{"1", "2", "3", "4", ""}, {4, 3, 2, 1, 0}},
        {{"", "0", "0"}, {0, 1}}, // a tie goes to the first in file order
    };
    for (const Case& c : cases) {
        Network network;
        for (std::size_t i = 0; i < c.parents.size(); ++i) {
            network.sections.push_back(
                Section(std::to_string(i), c.parents[i], Round, "200", 10, 1, 100));
        }
        EXPECT_EQ(ComputeNetwork(network).mainPath, c.mainPath);
    }
}

TEST(Network, FloatErrorKindsAndTheirMessages) {
    struct Case {
        FloatError error;
        FloatError::Kind kind;
        const char* message;
    } const cases[] = {
        {FloatError::DivisionByZero(), FloatError::Kind::DivisionByZero,
         "Floating point division by zero"},
        {FloatError::InvalidOperation(), FloatError::Kind::InvalidOperation,
         "Invalid floating point operation"},
        {FloatError::Overflow(), FloatError::Kind::Overflow, "Floating point overflow"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.error.kind, c.kind);
        EXPECT_STREQ(c.error.what(), c.message);
    }
}

TEST(Network, FieldErrorTexts) {
    struct Case {
        NetworkError error;
        std::string message, id, field;
    } const cases[] = {
        {FieldError("5", "size", "нет"), "участок «5», поле «size»: нет", "5", "size"},
        {FieldError("5", "", "нет"), "участок «5»: нет", "5", ""},
        {FieldError("", "Vmax", "нет"), "поле «Vmax»: нет", "", "Vmax"},
        {FieldError(std::string(50, 'a'), "id", "нет"),
         "участок «" + std::string(40, 'a') + "… (50 знаков)», поле «id»: нет",
         std::string(50, 'a'), "id"},
        {PlaceError(3, "id", "нет"), "участок № 3 по порядку в файле, поле «id»: нет", "", "id"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(c.error.what()), c.message);
        EXPECT_EQ(c.error.sectionId, c.id);
        EXPECT_EQ(c.error.field, c.field);
    }
}

} // namespace
} // namespace kalvor
