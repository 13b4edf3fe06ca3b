// Number text: formatting, parsing under both separators, integers, rounding halves to even.
#include "common/NumberText.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kalvor {
namespace {

struct FormatCase {
    double value;
    char separator;
    const char* text;
};

TEST(NumberText, FormatsInTheGeneralFormat) {
    const FormatCase cases[] = {
        {0.0, ',', "0"},
        {-0.0, ',', "0"},
        {0.25, ',', "0,25"},
        {0.25, '.', "0.25"},
        {360.0, ',', "360"},
        {250.0, '.', "250"},
        {277.778, ',', "277,778"},
        {41.367, ',', "41,367"},
        {-5.5, ',', "-5,5"},
        {0.1 + 0.2, '.', "0.3"}, // 15 significant digits hide the binary tail
        {1.0 / 3.0, '.', "0.333333333333333"},
        {123456789012345.0, '.', "123456789012345"},
        {1e15, '.', "1E15"},
        {1.5e-7, ',', "1,5E-7"},
        {0.00001, '.', "0.00001"},
        {0.000012345, '.', "0.000012345"},
        {0.1234 * 1000.0, '.', "123.4"},
        {0.315 * 1000.0, ',', "315"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, c.separator), c.text) << c.value;
    }
}

struct ParseCase {
    const char* text;
    char separator;
    double value;
};

TEST(NumberText, ParsesNumbersWithTheLocaleSeparator) {
    const ParseCase cases[] = {
        {"0,5", ',', 0.5},     {"0.5", '.', 0.5},        {"  12,25  ", ',', 12.25},
        {"-3", ',', -3.0},     {"+3", '.', 3.0},         {"0,", ',', 0.0},
        {"0.", '.', 0.0},      {",5", ',', 0.5},         {"1E3", '.', 1000.0},
        {"2,5e-1", ',', 0.25}, {"00", ',', 0.0},         {"05", ',', 5.0},
        {"1e-400", '.', 0.0},  {"12345e-330", '.', 0.0}, {"0,000001e-320", ',', 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ParseNumber(c.text, c.separator), c.value) << c.text;
    }
}

TEST(NumberText, RefusesWhatIsNotANumber) {
    const ParseCase cases[] = {
        {"", ',', 0},    {" ", ',', 0},     {"0.5", ',', 0},      {"0,5", '.', 0},  {"-", ',', 0},
        {",", ',', 0},   {"5-3", ',', 0},   {"300*200", ',', 0},  {"1e", '.', 0},   {"1e+", '.', 0},
        {"nan", '.', 0}, {"inf", '.', 0},   {"1e400", '.', 0},    {"0x10", '.', 0}, {"1 2", '.', 0},
        {"--1", '.', 0}, {"1e999", '.', 0}, {"0,01e311", ',', 0}, {"1,5,", ',', 0},
    };
    for (const auto& c : cases) {
        try {
            ParseNumber(c.text, c.separator);
            ADD_FAILURE() << "accepted '" << c.text << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(c.text) + "' is not a valid floating point value");
        }
    }
}

TEST(NumberText, ParsesWholeNumbers) {
    EXPECT_EQ(ParseInteger("50"), 50);
    EXPECT_EQ(ParseInteger("-7"), -7);
    EXPECT_EQ(ParseInteger("+12"), 12);
    EXPECT_EQ(ParseInteger("2147483647"), std::numeric_limits<int>::max());
    EXPECT_EQ(ParseInteger("-2147483648"), std::numeric_limits<int>::min());
    for (const char* text : {"", "5,5", "5.5", "5*", "-", "2147483648", "12a", "1 "}) {
        try {
            ParseInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

struct RoundCase {
    double value;
    int decimals;
    double rounded;
};

TEST(NumberText, RoundsHalvesToEven) {
    const RoundCase cases[] = {
        {0.125, 2, 0.12},      {0.375, 2, 0.38},      {28.08797, 3, 28.088},
        {41.36663, 3, 41.367}, {6.666667, 2, 6.67},   {277.7777778, 3, 277.778},
        {-0.125, 2, -0.12},    {0.0314159, 3, 0.031}, {0.1236, 3, 0.124},
        {0.1234, 3, 0.123},    {0.0005, 3, 0.0},      {0.0015, 3, 0.002},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(RoundTo(c.value, c.decimals), c.rounded)
            << c.value << " to " << c.decimals;
    }
}

TEST(NumberText, RoundedResultsReadAsTheirShortText) {
    EXPECT_EQ(FormatNumber(RoundTo(41.36663, 3), ','), "41,367");
    EXPECT_EQ(FormatNumber(RoundTo(28.08797, 3), ','), "28,088");
    EXPECT_EQ(FormatNumber(RoundTo(360.0, 3), ','), "360");
    EXPECT_EQ(FormatNumber(RoundTo(1000.0 / 3.6, 3), ','), "277,778");
}

} // namespace
} // namespace kalvor
