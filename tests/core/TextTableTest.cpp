// Tests of the tab-separated table text.
#include "common/TextTable.h"

#include <gtest/gtest.h>

namespace kalvor {
namespace {

struct TableCase {
    const char* name;
    std::vector<TextRow> rows;
    const char* text;
};

class TabSeparatedTest : public testing::TestWithParam<TableCase> {};

TEST_P(TabSeparatedTest, JoinsCellsAndRows) {
    EXPECT_EQ(TabSeparated(GetParam().rows), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TabSeparatedTest,
    testing::Values(TableCase{"Empty", {}, ""}, TableCase{"OneCell", {{"V"}}, "V\n"},
                    TableCase{"TwoRows", {{"a", "b"}, {"1,5", ""}}, "a\tb\n1,5\t\n"},
                    TableCase{"EmptyRowKeepsItsLine", {{"a"}, {}, {"b"}}, "a\n\nb\n"},
                    // A typed size text could hold anything: it must stay one cell.
                    TableCase{"SeparatorsInsideACell", {{"500\t300", "x\r\ny"}}, "500 300\tx  y\n"},
                    TableCase{"Utf8Untouched", {{"Круглый", "Стальной"}}, "Круглый\tСтальной\n"}),
    [](const testing::TestParamInfo<TableCase>& info) { return info.param.name; });

} // namespace
} // namespace kalvor
