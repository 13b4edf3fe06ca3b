// The pop-up calculator's arithmetic: left to right, from the box's value, failing on division by
// zero, and its display.
#include "common/Calculator.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvor {
namespace {

// Presses the keys: digits, '.' the separator, '=' equals, '<' backspace, 'C' clear, otherwise
// an operation.
Calculator Press(double start, const std::string& keys) {
    Calculator calculator(start);
    for (const char key : keys) {
        if (key >= '0' && key <= '9') {
            calculator.digit(key - '0');
        } else if (key == '.') {
            calculator.separator();
        } else if (key == '=') {
            calculator.equals();
        } else if (key == '<') {
            calculator.backspace();
        } else if (key == 'C') {
            calculator.clear();
        } else {
            calculator.operation(key);
        }
    }
    return calculator;
}

struct CalculatorCase {
    const char* name;
    double start;
    const char* keys;
    double result;
    bool failed;
    const char* display; // with ',' as separator; "" when failed
};

class CalculatorTest : public testing::TestWithParam<CalculatorCase> {};

TEST_P(CalculatorTest, Computes) {
    const CalculatorCase& c = GetParam();
    const Calculator calculator = Press(c.start, c.keys);
    EXPECT_EQ(calculator.failed(), c.failed);
    EXPECT_EQ(calculator.value(), c.result);
    if (!c.failed) {
        EXPECT_EQ(calculator.display(','), c.display);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CalculatorTest,
    testing::Values(CalculatorCase{"Product", 0.0, "2*3=", 6.0, false, "6"},
                    CalculatorCase{"LeftToRight", 0.0, "1+2*3=", 9.0, false, "9"},
                    CalculatorCase{"FromTheBoxValue", 10.0, "/4=", 2.5, false, "2,5"},
                    CalculatorCase{"Negative", 0.0, "5-8=", -3.0, false, "-3"},
                    CalculatorCase{"Fraction", 0.0, "1.5+1=", 2.5, false, "2,5"},
                    CalculatorCase{"Backspace", 0.0, "12<3=", 13.0, false, "13"},
                    CalculatorCase{"OperationReplaced", 0.0, "2+*3=", 6.0, false, "6"},
                    CalculatorCase{"Clear", 7.0, "C5=", 5.0, false, "5"},
                    CalculatorCase{"DivisionByZero", 0.0, "9/0=", 0.0, true, ""},
                    CalculatorCase{"NumberBeingTyped", 0.0, "12.5", 12.5, false, "12,5"},
                    CalculatorCase{"LeadingSeparator", 0.0, ".5", 0.5, false, "0,5"},
                    // Sixteen digits: the sixteenth is not taken.
                    CalculatorCase{"FifteenDigitsAtMost", 0.0, "1234567890123456",
                                   123456789012345.0, false, "123456789012345"}),
    [](const testing::TestParamInfo<CalculatorCase>& info) { return info.param.name; });

} // namespace
} // namespace kalvor
