// Tests of a network's fittings: read from the file and written back, their ζ added to the
// section's own Σζ in every figure, and every refusal of a list that cannot be used.
#include "network/Network.h"
#include "network/NetworkFile.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvor {
namespace {

// A network of a root and one terminal "2" (round 400, 3 m, 2000 m3/h) whose section carries
// the fields given after its kms.
std::string File(const std::string& secondFields, const std::string& kms = "0.5") {
    return R"({"kalvor-network": 1, "sections": [
        {"id": "1", "shape": "rectangular", "size": "500*300", "length": 5, "kms": 1},
        {"id": "2", "parent": "1", "shape": "round", "size": "400", "length": 3, "flow": 2000,
         "kms": )" +
           kms + secondFields + "}]}";
}

TEST(NetworkFittings, ReadWithTheirCountsAndWrittenBack) {
    const Network network = ParseNetworkText(File(R"(, "fittings": [
        {"type": "elbow-round", "angle": 90, "r_d": 1, "count": 2},
        {"type": "elbow-rect", "angle": 45, "r_b": 1, "h_b": 1}])"));
    ASSERT_EQ(network.sections[1].fittings.size(), 2u);
    const FittingUse& first = network.sections[1].fittings[0];
    EXPECT_EQ(first.type, "elbow-round");
    EXPECT_EQ(first.parameters, (FittingParameters{{"angle", 90}, {"r_d", 1}}));
    EXPECT_EQ(first.count, 2);
    EXPECT_EQ(network.sections[1].fittings[1].count, 1); // the default
    EXPECT_TRUE(network.sections[0].fittings.empty());

    const std::string text = NetworkFileText(network);
    EXPECT_NE(text.find("\"kms\": 0.5, \"flow\": 2000,\n     \"fittings\": [\n       {\"type\": "
                        "\"elbow-round\", \"angle\": 90, \"r_d\": 1, \"count\": 2},\n       "
                        "{\"type\": \"elbow-rect\", \"angle\": 45, \"h_b\": 1, \"r_b\": 1, "
                        "\"count\": 1}]}"),
              std::string::npos)
        << text;
    EXPECT_EQ(ParseNetworkText(text), network);
    // A section without fittings writes no list.
    EXPECT_EQ(NetworkFileText(ParseNetworkText(File(""))).find("fittings"), std::string::npos);
}

// Σζ = 0.5 typed + 2·0.21 (elbow 90°, R/D 1) + 0.126 (rectangular elbow 45°, R/b 1, h/b 1):
// every figure equals that of the same section with Σζ 1.046 typed by hand.
TEST(NetworkFittings, AddedToTheTypedSumInEveryFigure) {
    const Network withFittings = ParseNetworkText(File(R"(, "fittings": [
        {"type": "elbow-round", "angle": 90, "r_d": 1, "count": 2},
        {"type": "elbow-rect", "angle": 45, "r_b": 1, "h_b": 1}])"));
    const Network typed = ParseNetworkText(File("", "1.046"));
    EXPECT_NEAR(SectionKms(withFittings.sections[1]), 1.046, 1e-12);
    EXPECT_EQ(SectionKms(withFittings.sections[0]), 1.0);

    const NetworkResults a = ComputeNetwork(withFittings);
    const NetworkResults b = ComputeNetwork(typed);
    ASSERT_EQ(a.sections.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const SectionResult& x = a.sections[i];
        const SectionResult& y = b.sections[i];
        EXPECT_NEAR(x.kms, y.kms, 1e-12);
        EXPECT_NEAR(x.Z, y.Z, 1e-9);
        EXPECT_NEAR(x.P, y.P, 1e-9);
        EXPECT_NEAR(x.path, y.path, 1e-9);
        EXPECT_EQ(x.Rl, y.Rl);
        EXPECT_EQ(x.Pd, y.Pd);
    }
    // The fittings' part of Z: Pd·0.546 of the terminal's dynamic pressure.
    EXPECT_NEAR(a.sections[1].Z - ComputeNetwork(ParseNetworkText(File(""))).sections[1].Z,
                a.sections[1].Pd * 0.546, 1e-9);
    EXPECT_NEAR(a.fanPressure, b.fanPressure, 1e-9);
}

TEST(NetworkFittings, ListsThatCannotBeUsedRefuseTheFile) {
    const std::string place = "участок «2», поле «fittings»: местное сопротивление № ";
    struct Case {
        std::string fields, message;
    } const cases[] = {
        {R"(, "fittings": {"type": "elbow-round"})",
         "участок «2», поле «fittings»: ожидается список местных сопротивлений [{\"type\": ...}, "
         "...], а не {\"type\":\"elbow-round\"}"},
        {R"(, "fittings": [5])", place + "1: ожидается объект {\"type\": ..., ...}, а не 5"},
        {R"(, "fittings": [{"angle": 90, "r_d": 1}])", place + "1, параметр «type»: нет поля"},
        {R"(, "fittings": [{"type": 7}])", place + "1, параметр «type»: ожидается текст, а не 7"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1},
                           {"type": "elbow-round", "angle": "90", "r_d": 1}])",
         place + "2, параметр «angle»: ожидается число, а не \"90\""},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": "2"}])",
         place + "1, параметр «count»: ожидается число, а не \"2\""},
        {R"(, "fittings": [{"type": "elbow-square", "angle": 90}])",
         place + "1, параметр «type»: Неизвестный тип местного сопротивления «elbow-square»"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90}])",
         place + "1, параметр «r_d»: Отвод круглый гладкий (elbow-round): не задан параметр "
                 "«Относительный радиус поворота R/D» r_d"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 0.3}])",
         place + "1, параметр «r_d»: Отвод круглый гладкий (elbow-round): параметр "
                 "«Относительный радиус поворота R/D» r_d = 0,3 вне допустимого диапазона "
                 "r_d ≥ 0,5"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 0, "r_d": 1}])",
         place + "1, параметр «angle»: Отвод круглый гладкий (elbow-round): параметр «Угол "
                 "поворота δ» angle = 0° вне допустимого диапазона 0 < angle ≤ 180°"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "colour": 1}])",
         place + "1, параметр «colour»: Отвод круглый гладкий (elbow-round): неизвестный "
                 "параметр «colour»"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": 1.5}])",
         place + "1, параметр «count»: Отвод круглый гладкий (elbow-round): количество count = "
                 "1,5 должно быть целым числом не меньше 1"},
        {R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": 0}])",
         place + "1, параметр «count»: Отвод круглый гладкий (elbow-round): количество count = "
                 "0 должно быть целым числом не меньше 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        try {
            ParseNetworkText(File(c.fields));
            ADD_FAILURE() << "not refused";
        } catch (const NetworkError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
            EXPECT_EQ(error.sectionId, "2");
            EXPECT_EQ(error.field, "fittings");
        }
    }
}

// A network edited in a window is checked the same way before it is computed.
TEST(NetworkFittings, CheckedBeforeComputing) {
    Network network = ParseNetworkText(File(""));
    network.sections[1].fittings = {{"elbow-round", {{"angle", 90}, {"r_d", 1}}, 1},
                                    {"elbow-round", {{"angle", 200}, {"r_d", 1}}, 1}};
    try {
        ComputeNetwork(network);
        ADD_FAILURE() << "computed";
    } catch (const NetworkError& error) {
        EXPECT_EQ(error.sectionId, "2");
        EXPECT_EQ(error.field, "fittings");
        EXPECT_NE(std::string(error.what()).find("местное сопротивление № 2, параметр «angle»"),
                  std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace kalvor
