// Case-blind names: ASCII letters fold, every other byte (UTF-8 included) compares as it is.
#include "common/Names.h"

#include <gtest/gtest.h>

namespace kalvor {
namespace {

TEST(Names, EqualWithoutAsciiCase) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } const cases[] = {
        {"RoundDuct.txt", "Roundduct.txt", true},
        {"AB", "ab", true},
        {"software\\Kelmorta", "SOFTWARE\\kelmorta", true},
        {"Duct.txt", "Duct.tx", false},
        {"", "", true},
        {"Шаг", "Шаг", true},  // the same bytes
        {"Шаг", "шаг", false}, // Cyrillic letters are not folded
        {"[", "{", false},     // 0x5B and 0x7B are not letters
        {"@", "`", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NamesEqual(c.a, c.b), c.equal) << c.a << " / " << c.b;
    }
    EXPECT_EQ(Folded("HKEY_Current_USER\\Software"), "hkey_current_user\\software");
    EXPECT_EQ(Folded("Z[a"), "z[a");
}

} // namespace
} // namespace kalvor
