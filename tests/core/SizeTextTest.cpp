// Sizes between metres and the shown units, and the size texts of lists, search and editor.
#include "hydraulics/SizeText.h"

#include <gtest/gtest.h>

namespace kalvor {
namespace {

struct TextCase {
    double A, B;
    bool secondFirst, millimetres;
    char separator;
    const char* number; // A alone
    const char* pair;   // in the stored order
};

TEST(SizeText, NumbersAndPairsInTheStoredUnitsAndOrder) {
    const TextCase cases[] = {
        {0.5, 0.25, false, true, ',', "500", "500*250"},
        {0.5, 0.25, true, true, ',', "500", "250*500"},
        {0.5, 0.25, false, false, ',', "0,5", "0,5*0,25"},
        {0.5, 0.25, true, false, '.', "0.5", "0.25*0.5"},
        {0.1, 0.315, false, true, '.', "100", "100*315"},   // 0.1 · 1000 shows whole
        {0.0005, 2.0, false, true, ',', "0,5", "0,5*2000"}, // half a millimetre
        {1.25, 0.0, false, false, ',', "1,25", "1,25*0"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(SizeNumberText(c.A, c.millimetres, c.separator), c.number) << c.pair;
        EXPECT_EQ(CatalogueSizeText(c.A, c.B, c.secondFirst, c.millimetres, c.separator), c.pair);
    }
    EXPECT_EQ(SizePairText(0.25, 0.45, true, ','), "250*450");
}

TEST(SizeText, MetresAndShownUnits) {
    struct Case {
        double metres;
        bool millimetres;
        double shown;
    } const cases[] = {
        {0.315, true, 315.0}, {0.315, false, 0.315}, {0.0, true, 0.0}, {-0.1, true, -100.0}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShownSize(c.metres, c.millimetres), c.shown);
        EXPECT_DOUBLE_EQ(SizeInMetres(c.shown, c.millimetres), c.metres);
    }
    // Typed millimetres are divided, never multiplied by 0.001: 315 / 1000 is exactly 0.315.
    EXPECT_EQ(SizeInMetres(315.0, true), 0.315);
}

} // namespace
} // namespace kalvor
