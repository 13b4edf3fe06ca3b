// Section geometry and the size texts: the order test, the size parser and the diameter parser.
#include "hydraulics/Sections.h"
#include "TestFiles.h"
#include "common/Errors.h"
#include "hydraulics/Formulas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <optional>

namespace kalvor {
namespace {

TEST(Sections, GeometryOfTheThreeShapes) {
    const SectionGeometry rect = RectangularSection(0.5, 0.3);
    EXPECT_DOUBLE_EQ(rect.F, 0.15);
    EXPECT_DOUBLE_EQ(rect.De, 0.375);
    const SectionGeometry swapped = RectangularSection(0.3, 0.5);
    EXPECT_DOUBLE_EQ(swapped.F, rect.F);
    EXPECT_DOUBLE_EQ(swapped.De, rect.De);

    const SectionGeometry oval = FlatOvalSection(0.5, 0.25);
    EXPECT_NEAR(oval.F, 0.111587, 1e-6);
    EXPECT_NEAR(std::numbers::pi * 0.25 + (0.5 - 0.25) * 2, 1.285398, 1e-6);
    EXPECT_NEAR(oval.De, 0.347246, 1e-6); // 4F/Per
    const SectionGeometry ovalSwapped = FlatOvalSection(0.25, 0.5);
    EXPECT_NEAR(ovalSwapped.F, 0.071350, 1e-6);
    EXPECT_NEAR(ovalSwapped.De, 0.266529, 1e-6);

    const SectionGeometry round = RoundSection(0.4);
    EXPECT_NEAR(round.F, 0.125664, 1e-6);
    EXPECT_DOUBLE_EQ(round.De, 0.4);
}

// Overall width and height, with F, the perimeter and De = 4F/Per worked out by hand.
TEST(Sections, FlatOvalHydraulicDiameter) {
    struct Case {
        double A, B, F, Per, De;
    } const cases[] = {
        {0.5, 0.25, 0.111587385, 1.28539816, 0.347246132},
        {0.8, 0.2, 0.151415927, 1.82831853, 0.331268155},
        {0.4, 0.2, 0.0714159265, 1.02831853, 0.277796906},
        {1.2, 0.3, 0.340685835, 2.7424778, 0.496902232},
        {0.3, 0.1, 0.0278539816, 0.714159265, 0.156009915},
    };
    for (const auto& c : cases) {
        const SectionGeometry oval = FlatOvalSection(c.A, c.B);
        EXPECT_NEAR(oval.F, c.F, 1e-8 * c.F) << c.A << "x" << c.B;
        EXPECT_NEAR(oval.De, c.De, 1e-8 * c.De) << c.A << "x" << c.B;
        EXPECT_NEAR(4 * c.F / c.Per, c.De, 1e-8 * c.De) << c.A << "x" << c.B;
        // Above the height (a wider oval than the circle) and below twice it (the slot's limit).
        EXPECT_GT(oval.De, c.B);
        EXPECT_LT(oval.De, 2 * c.B);
    }
}

// A flat oval whose width equals its height is the round duct of that diameter in every figure.
TEST(Sections, FlatOvalOfEqualSidesIsTheRoundDuct) {
    const double diameters[] = {0.1, 0.125, 0.2, 0.315, 0.4, 0.63, 1.0, 2.0};
    for (double D : diameters) {
        const SectionGeometry oval = FlatOvalSection(D, D);
        const SectionGeometry round = RoundSection(D);
        EXPECT_DOUBLE_EQ(oval.F, round.F) << D;
        EXPECT_DOUBLE_EQ(oval.De, round.De) << D;
        const SectionResults o = ComputeSection(3600, oval.F, oval.De, 0.0001, 20, 1013, 10, 1);
        const SectionResults r = ComputeSection(3600, round.F, round.De, 0.0001, 20, 1013, 10, 1);
        EXPECT_DOUBLE_EQ(o.V, r.V) << D;
        EXPECT_DOUBLE_EQ(o.Re, r.Re) << D;
        EXPECT_DOUBLE_EQ(o.Lyambda, r.Lyambda) << D;
        EXPECT_DOUBLE_EQ(o.Pd, r.Pd) << D;
        EXPECT_DOUBLE_EQ(o.R, r.R) << D;
        EXPECT_DOUBLE_EQ(o.P, r.P) << D;
    }
}

TEST(Sections, FlatOvalWithNegativeAreaIsAnInvalidOperation) {
    try {
        FlatOvalSection(0.1, 1.0);
        ADD_FAILURE() << "no error";
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    EXPECT_LT(FlatOvalArea(0.1, 1.0), 0.0); // the search compares it all the same
}

TEST(Sections, TextAboveZeroComparesCharacterCodes) {
    const std::pair<const char*, bool> cases[] = {
        {"", false},   {"0", false},  {"-5", false}, {".5", false}, {",5", false},
        {"*3", false}, {" 1", false}, {"00", true},  {"0,5", true}, {"0,", true},
        {"1", true},   {"a", true},   {"05", true},
    };
    for (const auto& [text, above] : cases) {
        EXPECT_EQ(TextAboveZero(text), above) << "'" << text << "'";
    }
}

// Each test gets its own hive with "mm" set as the case needs.
class SizeTexts : public test::TempUserTest {
protected:
    void SetUp() override {
        TempUserTest::SetUp();
        m_store.emplace(); // after the variable: the store finds its hive when it is made
    }
    void TearDown() override {
        m_store.reset();
        TempUserTest::TearDown();
    }
    SettingsStore& StoreWithUnits(int mm) {
        m_store->OpenKey(SettingsKey, true);
        m_store->WriteInteger("mm", mm);
        return *m_store;
    }
    std::optional<SettingsStore> m_store;
};

struct SizeCase {
    const char* text;
    int mm;
    char separator;
    double A, B;
};

TEST_F(SizeTexts, ParsesSizesOrNoSize) {
    const SizeCase cases[] = {
        {"500*300", 1, ',', 0.5, 0.3},
        {"0,5*0,3", 0, ',', 0.5, 0.3},
        {"0.5*0.3", 0, '.', 0.5, 0.3},
        {"05*300", 1, ',', 0.005, 0.3},
        {"00*300", 1, ',', 0.0, 0.3},
        {"500", 1, ',', 0, 0},
        {"500*", 1, ',', 0, 0},
        {"*300", 1, ',', 0, 0},
        {"0*300", 1, ',', 0, 0},
        {"300*0", 1, ',', 0, 0},
        {"-5*300", 1, ',', 0, 0},
        {"5", 1, ',', 0, 0},
        {"", 1, ',', 0, 0},
        {"*", 1, ',', 0, 0},
        {"**3", 1, ',', 0, 0},
    };
    for (const auto& c : cases) {
        SettingsStore& store = StoreWithUnits(c.mm);
        double A = 9, B = 9;
        ParseSizeText(c.text, store, c.separator, A, B);
        EXPECT_DOUBLE_EQ(A, c.A) << "'" << c.text << "'";
        EXPECT_DOUBLE_EQ(B, c.B) << "'" << c.text << "'";
    }
}

TEST_F(SizeTexts, FailingSecondPartKeepsTheNewFirstBesideTheOldSecond) {
    SettingsStore& store = StoreWithUnits(1);
    double A = 0.7, B = 0.8;
    try {
        ParseSizeText("500*300*200", store, ',', A, B);
        ADD_FAILURE() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'300*200' is not a valid floating point value");
    }
    EXPECT_DOUBLE_EQ(A, 0.5);
    EXPECT_DOUBLE_EQ(B, 0.8);

    A = 0.7;
    EXPECT_THROW(ParseSizeText("5-3*300", store, ',', A, B), ConversionError);
    EXPECT_DOUBLE_EQ(A, 0.7); // a failing first part leaves both as they were
    EXPECT_DOUBLE_EQ(B, 0.8);
}

TEST_F(SizeTexts, UnitsAreReadOnlyWhenBothPartsPass) {
    // No key is open: reading "mm" would fail, so a text without a size must not read it.
    SettingsStore fresh;
    double A = 1, B = 1;
    EXPECT_NO_THROW(ParseSizeText("500*", fresh, ',', A, B));
    EXPECT_EQ(A, 0.0);
    EXPECT_THROW(ParseSizeText("500*300", fresh, ',', A, B), RegistryError);
    EXPECT_FALSE(ParseDiameterText("0,", fresh, ',').has_value());
    EXPECT_THROW(ParseDiameterText("400", fresh, ','), RegistryError);
}

TEST_F(SizeTexts, DiameterTexts) {
    struct Case {
        const char* text;
        int mm;
        char separator;
        std::optional<double> D;
    } const cases[] = {
        {"400", 1, ',', 0.4}, {"0,4", 0, ',', 0.4}, {"0.4", 0, '.', 0.4}, {"0,5", 1, ',', 0.0005},
        {"0,0", 1, ',', 0.0}, {"00", 1, ',', 0.0},  {"0,", 1, ',', {}},   {"0", 1, ',', {}},
        {"", 1, ',', {}},     {"-4", 1, ',', {}},   {",5", 0, ',', {}},
    };
    for (const auto& c : cases) {
        SettingsStore& store = StoreWithUnits(c.mm);
        const auto D = ParseDiameterText(c.text, store, c.separator);
        ASSERT_EQ(D.has_value(), c.D.has_value()) << "'" << c.text << "'";
        if (D) {
            EXPECT_DOUBLE_EQ(*D, *c.D) << "'" << c.text << "'";
        }
    }
    SettingsStore& store = StoreWithUnits(1);
    EXPECT_THROW(ParseDiameterText("4*", store, ','), ConversionError);
}

} // namespace
} // namespace kalvor
