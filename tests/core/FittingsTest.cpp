// The fittings registry: its fixed ids, clamping and refusal at every range end, the refusal
// messages, and the sum of a section's fittings.
#include "fittings/Fittings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace kalvor {
namespace {

std::string Refusal(std::string_view type, const FittingParameters& parameters) {
    try {
        FittingZeta(type, parameters);
    } catch (const FittingError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(FittingRegistry, FixedIdsKeepTheirParametersAndRanges) {
    const FittingType* round = FindFittingType("elbow-round");
    ASSERT_NE(round, nullptr);
    ASSERT_EQ(round->parameters.size(), 2u);
    const FittingParameter& angle = round->parameters[0];
    EXPECT_EQ(angle.id, "angle");
    EXPECT_EQ(angle.unit, "°");
    EXPECT_EQ(angle.accepted.min, 0.0);
    EXPECT_FALSE(angle.accepted.minIncluded);
    EXPECT_EQ(angle.accepted.max, 180.0);
    EXPECT_TRUE(angle.accepted.maxIncluded);
    const FittingParameter& radius = round->parameters[1];
    EXPECT_EQ(radius.id, "r_d");
    EXPECT_EQ(radius.accepted.min, 0.5);
    EXPECT_FALSE(radius.ClampsBelow());
    EXPECT_TRUE(radius.ClampsAbove());
    EXPECT_EQ(radius.clampMax, 40.0);

    const FittingType* rect = FindFittingType("elbow-rect");
    ASSERT_NE(rect, nullptr);
    std::vector<std::string> ids;
    for (const auto& parameter : rect->parameters) {
        ids.push_back(parameter.id);
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"angle", "r_b", "h_b"}));
    const FittingParameter* aspect = rect->Find("h_b");
    EXPECT_TRUE(aspect->ClampsBelow() && aspect->ClampsAbove());
    EXPECT_EQ(aspect->clampMin, 0.25);
    EXPECT_EQ(aspect->clampMax, 8.0);
}

// Lower-case words joined by one separator: "elbow-round", "r_d".
bool Words(const std::string& id, char separator) {
    if (id.empty() || id.front() == separator || id.back() == separator ||
        id.find(std::string(2, separator)) != std::string::npos) {
        return false;
    }
    return std::all_of(id.begin(), id.end(),
                       [&](char c) { return (c >= 'a' && c <= 'z') || c == separator; });
}

TEST(FittingRegistry, EveryTypeIsDescribedAndComputesAtItsDefaults) {
    std::set<std::string> ids;
    std::set<FittingFamily> families;
    for (const auto& type : FittingTypes()) {
        EXPECT_TRUE(Words(type.id, '-')) << type.id;
        EXPECT_TRUE(ids.insert(type.id).second) << type.id;
        EXPECT_FALSE(type.name.empty() || type.source.empty() || type.referenceVelocity.empty())
            << type.id;
        families.insert(type.family);
        for (const auto& parameter : type.parameters) {
            EXPECT_TRUE(Words(parameter.id, '_')) << type.id;
            EXPECT_FALSE(parameter.label.empty()) << type.id << " " << parameter.id;
            EXPECT_TRUE(parameter.accepted.Contains(parameter.defaultValue))
                << type.id << " " << parameter.id;
        }
        const FittingEvaluation atDefaults =
            EvaluateFitting(type.id, DefaultFittingParameters(type));
        EXPECT_TRUE(std::isfinite(atDefaults.zeta)) << type.id;
        EXPECT_TRUE(atDefaults.clamped.empty()) << type.id;
    }
    EXPECT_EQ(families.size(), FittingFamilies().size());
    for (const auto family : FittingFamilies()) {
        EXPECT_FALSE(FittingFamilyName(family).empty());
    }
}

// Values that hold only together with others: the generic walk below sets them first.
const std::map<std::string, FittingParameters> Together = {
    {"elbow-round-segmented", {{"pieces", 3}}}, // 4 and 5 pieces start at R/D 0.75
};

double Outside(double end, double direction) {
    return end + direction * std::max(1e-9, 1e-9 * std::fabs(end));
}

// At each end of each parameter's accepted range a value just outside is refused with the
// parameter named; between an accepted end and the table's end the value is held at the table's.
TEST(FittingRanges, EveryEndClampsOrRefusesAsDeclared) {
    for (const auto& type : FittingTypes()) {
        FittingParameters base = DefaultFittingParameters(type);
        if (Together.contains(type.id)) {
            for (const auto& [id, value] : Together.at(type.id)) {
                base[id] = value;
            }
        }
        for (const auto& p : type.parameters) {
            const std::string what = type.id + " " + p.id;
            auto with = [&](double value) {
                FittingParameters values = base;
                values[p.id] = value;
                return values;
            };
            const FittingRange& r = p.accepted;
            for (const auto& [end, included, direction] :
                 {std::tuple{r.min, r.minIncluded, -1.0}, std::tuple{r.max, r.maxIncluded, 1.0}}) {
                if (!std::isfinite(end)) {
                    continue;
                }
                const double refused =
                    included ? (p.choices.empty() ? Outside(end, direction) : end + direction)
                             : end;
                try {
                    FittingZeta(type.id, with(refused));
                    ADD_FAILURE() << what << " accepted " << refused;
                } catch (const FittingError& error) {
                    EXPECT_EQ(error.parameter, p.id) << what;
                    EXPECT_EQ(error.typeId, type.id) << what;
                }
                const double inside = included ? end : Outside(end, -direction);
                EXPECT_NO_THROW(FittingZeta(type.id, with(inside))) << what << " at " << inside;
            }
            if (p.ClampsBelow()) {
                const double below =
                    std::isfinite(r.min) ? (r.min + p.clampMin) / 2 : p.clampMin - 1;
                const FittingEvaluation held = EvaluateFitting(type.id, with(below));
                EXPECT_DOUBLE_EQ(held.zeta, FittingZeta(type.id, with(p.clampMin))) << what;
                EXPECT_EQ(held.clamped, std::vector<std::string>{p.id}) << what;
            }
            if (p.ClampsAbove()) {
                const double above =
                    std::isfinite(r.max) ? (r.max + p.clampMax) / 2 : p.clampMax * 2 + 1;
                const FittingEvaluation held = EvaluateFitting(type.id, with(above));
                EXPECT_EQ(held.clamped, std::vector<std::string>{p.id}) << what;
                EXPECT_DOUBLE_EQ(held.zeta, FittingZeta(type.id, with(p.clampMax))) << what;
            }
        }
    }
}

TEST(FittingMessages, EveryRefusalNamesWhatIsWrong) {
    const std::string round = "Отвод круглый гладкий (elbow-round): ";
    const std::string radius = "параметр «Относительный радиус поворота R/D» r_d";
    struct Case {
        const char* type;
        FittingParameters parameters;
        std::string message;
    } const cases[] = {
        {"elbow-rund", {}, "Неизвестный тип местного сопротивления «elbow-rund»"},
        {"elbow-round",
         {{"angle", 90}, {"r_d", 1}, {"r_D", 1}},
         round + "неизвестный параметр «r_D»"},
        {"elbow-round", {{"angle", 90}}, round + "не задан " + radius},
        {"elbow-round",
         {{"angle", 90}, {"r_d", NAN}},
         round + radius + " должен быть конечным числом"},
        {"elbow-round",
         {{"angle", 90}, {"r_d", INFINITY}},
         round + radius + " должен быть конечным числом"},
        {"elbow-round",
         {{"angle", 90}, {"r_d", 0.3}},
         round + radius + " = 0,3 вне допустимого диапазона r_d ≥ 0,5"},
        {"elbow-round",
         {{"angle", 200}, {"r_d", 1}},
         round +
             "параметр «Угол поворота δ» angle = 200° вне допустимого диапазона 0 < angle ≤ 180°"},
        {"elbow-round",
         {{"angle", 0}, {"r_d", 1}},
         round +
             "параметр «Угол поворота δ» angle = 0° вне допустимого диапазона 0 < angle ≤ 180°"},
        {"elbow-round-segmented",
         {{"angle", 90}, {"pieces", 6}, {"r_d", 1}},
         "Отвод круглый сегментный (elbow-round-segmented): параметр «Число звеньев» pieces = 6 "
         "не из допустимых значений 3, 4, 5"},
        {"elbow-round-segmented",
         {{"angle", 90}, {"pieces", 3.5}, {"r_d", 1}},
         "Отвод круглый сегментный (elbow-round-segmented): параметр «Число звеньев» pieces = 3,5 "
         "не из допустимых значений 3, 4, 5"},
        {"elbow-round-segmented",
         {{"angle", 90}, {"pieces", 4}, {"r_d", 0.6}},
         "Отвод круглый сегментный (elbow-round-segmented): " + radius +
             " = 0,6 вне допустимого диапазона r_d ≥ 0,75 при 4 и 5 звеньях"},
        {"expansion",
         {{"n", 1}},
         "Внезапное расширение (expansion): параметр «Отношение площадей n = F меньшее / F "
         "большее» n = 1 вне допустимого диапазона 0 < n < 1"},
        {"elbow-rect-vanes",
         {{"vanes", 0}, {"velocity", 0}},
         "Колено прямоугольное 90° с направляющими лопатками (elbow-rect-vanes): параметр "
         "«Скорость воздуха в колене v» velocity = 0 м/с вне допустимого диапазона velocity > 0 "
         "м/с"},
        {"tee-supply-branch",
         {{"angle", 90}, {"q", 0.5}, {"f_b", 0.05}},
         "Тройник приточный, ответвление (tee-supply-branch): параметр «Отношение площадей f_b = "
         "F ответвления / F общего канала» f_b = 0,05 вне допустимого диапазона 0,1 ≤ f_b ≤ 1"},
        {"tee-exhaust-straight",
         {{"angle", 90}, {"q", 1}, {"f_b", 0.5}},
         "Тройник вытяжной, проход (tee-exhaust-straight): параметр «Доля расхода ответвления q = "
         "Q ответвления / Q общего канала» q = 1 вне допустимого диапазона 0 ≤ q < 1"},
        {"grille",
         {{"f", 0.7}, {"f_sec", -2}},
         "Решётка или перфорированный лист в воздуховоде (grille): параметр «Отношение площадей "
         "f_sec = F участка / F воздуховода у решётки» f_sec = -2 вне допустимого диапазона "
         "f_sec > 0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Refusal(c.type, c.parameters), c.message);
    }
}

TEST(FittingMessages, ErrorsCarryTheirPartsForOtherMessages) {
    try {
        FittingZeta("elbow-round", {{"angle", 90}, {"r_d", 0.3}});
        FAIL() << "accepted R/D 0.3";
    } catch (const FittingError& error) {
        EXPECT_EQ(error.typeId, "elbow-round");
        EXPECT_EQ(error.parameter, "r_d");
        EXPECT_EQ(error.position, 0u);
        EXPECT_EQ(error.detail, error.what());
        const FittingError placed = error.At(3);
        EXPECT_EQ(placed.position, 3u);
        EXPECT_EQ(std::string(placed.what()), "Местное сопротивление № 3: " + error.detail);
    }
}

TEST(FittingSum, CountsTimesZetaOfEveryFitting) {
    const std::vector<FittingUse> section = {
        {"elbow-round", {{"angle", 90}, {"r_d", 1}}, 2},
        {"grille", {{"f", 0.7}}, 1},
        {"entry-sharp", {}, 1},
        {"tee-exhaust-branch", {{"angle", 90}, {"f_b", 0.25}, {"q", 0.3}}, 3},
    };
    EXPECT_NEAR(FittingsZetaSum(section), 2 * 0.2100 + 1.148 + 0.5 + 3 * 1.014, 2e-3);
    EXPECT_EQ(FittingsZetaSum({}), 0.0);
}

TEST(FittingSum, RefusalsNameThePlaceInTheList) {
    const FittingUse good = {"elbow-round", {{"angle", 90}, {"r_d", 1}}, 1};
    struct Case {
        FittingUse second;
        std::string message;
        std::string parameter;
    } const cases[] = {
        {{"elbow-round", {{"angle", 90}, {"r_d", 0.3}}, 1},
         "Местное сопротивление № 2: Отвод круглый гладкий (elbow-round): параметр «Относительный "
         "радиус поворота R/D» r_d = 0,3 вне допустимого диапазона r_d ≥ 0,5",
         "r_d"},
        {{"no-such-type", {}, 1},
         "Местное сопротивление № 2: Неизвестный тип местного сопротивления «no-such-type»",
         ""},
        {{"elbow-round", {{"angle", 90}, {"r_d", 1}}, 0},
         "Местное сопротивление № 2: Отвод круглый гладкий (elbow-round): количество count = 0 "
         "должно быть целым числом не меньше 1",
         "count"},
        {{"elbow-round", {{"angle", 90}, {"r_d", 1}}, 1.5},
         "Местное сопротивление № 2: Отвод круглый гладкий (elbow-round): количество count = 1,5 "
         "должно быть целым числом не меньше 1",
         "count"},
    };
    for (const auto& c : cases) {
        try {
            FittingsZetaSum({good, c.second, good});
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const FittingError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
            EXPECT_EQ(error.position, 2u);
            EXPECT_EQ(error.parameter, c.parameter);
        }
    }
}

TEST(FittingRanges, RangeTextsForDialogs) {
    const FittingType& rect = *FindFittingType("elbow-rect");
    EXPECT_EQ(FittingRangeText(*rect.Find("angle")), "0 < angle ≤ 180°");
    EXPECT_EQ(FittingRangeText(*rect.Find("h_b")), "h_b > 0");
    EXPECT_EQ(CheckFittingParameter(rect, *rect.Find("h_b"), 0.1), 0.25);
    EXPECT_EQ(CheckFittingParameter(rect, *rect.Find("h_b"), 3.0), 3.0);
    EXPECT_THROW(CheckFittingParameter(rect, *rect.Find("h_b"), -1.0), FittingError);
}

} // namespace
} // namespace kalvor

namespace kalvor {
namespace {

// A dialog names a parameter by the symbol in its label and writes its range with it.
TEST(FittingSymbols, FromTheLabel) {
    const struct {
        const char* label;
        const char* symbol;
    } cases[] = {
        {"Угол поворота δ", "δ"},
        {"Относительный радиус поворота R/D", "R/D"},
        {"Отношение сторон h/b (h поперёк плоскости поворота)", "h/b"},
        {"Число звеньев", "Число звеньев"},
        {"Скорость воздуха в колене v", "v"},
    };
    for (const auto& c : cases) {
        FittingParameter parameter;
        parameter.id = "key";
        parameter.label = c.label;
        EXPECT_EQ(FittingSymbol(parameter), c.symbol) << c.label;
    }
    FittingParameter angle;
    angle.id = "angle";
    angle.unit = "°";
    angle.accepted = {0, 180, false, true};
    EXPECT_EQ(FittingRangeText(angle), "0 < angle ≤ 180°");
    EXPECT_EQ(FittingRangeText(angle, "δ"), "0 < δ ≤ 180°");
}

} // namespace
} // namespace kalvor
