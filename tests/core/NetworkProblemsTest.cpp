// Tests of the totals' lists named in part and of the rows of the list of problems.
#include "network/NetworkProblems.h"
#include "network/NetworkTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalvor {
namespace {

// Sections "1" … "count", a chain; results with the lists given, every section a compared branch
// 20 % off and 7.5 m/s against its 6.
struct Listed {
    Network network;
    NetworkResults results;
};

Listed Chain(std::size_t count, const std::vector<std::size_t>& marked) {
    Listed listed;
    listed.network.tolerance = 10;
    listed.results.sections.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        NetworkSection s;
        s.id = std::to_string(i + 1);
        s.parent = i == 0 ? "" : std::to_string(i);
        listed.network.sections.push_back(s);
        listed.results.mainPath.push_back(i);
        listed.results.sections[i].imbalance = 20.0;
        listed.results.sections[i].V = 7.5;
        listed.results.sections[i].Vmax = 6;
    }
    for (const std::size_t i : marked) {
        listed.results.sections[i].flagged = true;
        listed.results.sections[i].automatic = true;
        listed.results.sections[i].catalogueShort = true;
        listed.results.sections[i].overVmax = true;
    }
    listed.results.flagged = marked;
    listed.results.overVmax = marked;
    listed.results.withoutFlow = marked;
    return listed;
}

// The list of fast sections as the list of flagged ones says it.
std::string Imbalances(std::string text) {
    const std::string fast = "7.50 > 6 м/с";
    for (std::size_t at = 0; (at = text.find(fast, at)) != std::string::npos;) {
        text.replace(at, fast.size(), "20.0 %");
    }
    return text;
}

TEST(NetworkTotals, ListsNameAtMostTheSectionsAsked) {
    const struct {
        std::size_t count;
        std::vector<std::size_t> marked;
        std::size_t maxNamed;
        std::string main, airless, fast;
    } cases[] = {
        {3, {0, 2}, AllNamed, "1 → 2 → 3", "1, 3", "уч. 1 (7.50 > 6 м/с), уч. 3 (7.50 > 6 м/с)"},
        {3, {0, 2}, 2, "1 → 2 → 3", "1, 3", "уч. 1 (7.50 > 6 м/с), уч. 3 (7.50 > 6 м/с)"},
        {4,
         {0, 1, 2},
         3,
         "1 → 2 → 3 → 4",
         "1, 2, 3",
         "уч. 1 (7.50 > 6 м/с), уч. 2 (7.50 > 6 м/с), "
         "уч. 3 (7.50 > 6 м/с)"},
        {50,
         {4, 6, 11, 20, 30, 49},
         3,
         "1 → 2 → 3 → … → 50 (всего 50 уч.)",
         "5, 7, 12 и ещё 3",
         "уч. 5 (7.50 > 6 м/с), уч. 7 (7.50 > 6 м/с), уч. 12 (7.50 > 6 м/с) и ещё 3"},
        {5, {1, 3}, 1, "1 → … → 5 (всего 5 уч.)", "2 и ещё 1", "уч. 2 (7.50 > 6 м/с) и ещё 1"},
        {5, {1, 3}, 0, "1 → … → 5 (всего 5 уч.)", "2 и ещё 1", "уч. 2 (7.50 > 6 м/с) и ещё 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " sections, " + std::to_string(c.maxNamed));
        const Listed listed = Chain(c.count, c.marked);
        const std::vector<std::string> lines =
            NetworkTotalsLines(listed.network, listed.results, '.', c.maxNamed);
        const std::string airless = "уч. " + c.airless;
        const std::vector<std::string> expected = {
            "Главное направление: " + c.main,
            "Невязка выше 10 %: " + Imbalances(c.fast),
            "Размеры подобраны по каталогам: " + airless,
            "В каталоге нет размера на этот расход, взят наибольший: " + airless,
            "Скорость выше допустимой: " + c.fast,
            "Без расхода воздуха: " + airless,
        };
        ASSERT_EQ(lines.size(), expected.size() + 2);
        EXPECT_EQ(lines[0], expected[0]);
        for (std::size_t k = 1; k < expected.size(); ++k) {
            EXPECT_EQ(lines[k + 2], expected[k]);
        }
    }
}

TEST(NetworkProblems, OneRowForEachSectionOfEachList) {
    const Listed listed = Chain(12, {4, 11});
    const std::vector<std::string> expected = {
        "Уч. 5: невязка 20,0 % выше 10 %",
        "Уч. 12: невязка 20,0 % выше 10 %",
        "Уч. 5: в каталоге нет размера на этот расход, взят наибольший",
        "Уч. 12: в каталоге нет размера на этот расход, взят наибольший",
        "Уч. 5: скорость 7,50 > 6 м/с",
        "Уч. 12: скорость 7,50 > 6 м/с",
        "Уч. 5: без расхода воздуха",
        "Уч. 12: без расхода воздуха",
    };
    const std::vector<NetworkProblem> problems = NetworkProblems(listed.results);
    ASSERT_EQ(problems.size(), expected.size());
    for (std::size_t k = 0; k < problems.size(); ++k) {
        EXPECT_EQ(problems[k].section, k % 2 == 0 ? 4u : 11u);
        EXPECT_EQ(NetworkProblemText(listed.network, listed.results, problems[k], ','),
                  expected[k]);
    }
    EXPECT_TRUE(NetworkProblems(Chain(3, {}).results).empty());
}

} // namespace
} // namespace kalvor
