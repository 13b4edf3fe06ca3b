// The arithmetic of the numeric boxes' pop-up calculator, left to right like a pocket calculator.
#pragma once

#include <string>

namespace kalvor {

// The arithmetic behind the pop-up: a number being typed, a pending operation and the value
// shown. Division by zero puts it into a failed state until cleared.
class Calculator {
public:
    explicit Calculator(double start = 0.0);

    void digit(int d);       // 0 to 9
    void separator();        // starts the fraction of the number being typed
    void operation(char op); // '+', '-', '*' or '/': finishes the pending one
    void equals();           // finishes the pending operation
    void backspace();        // removes the last typed character
    void clear();            // back to 0, no pending operation

    double value() const; // the number on the display
    bool failed() const { return m_failed; }
    // The display of a calculation that has not failed: the number being typed, or the result.
    std::string display(char decimalSeparator) const;

private:
    double current() const;
    void finish();

    double m_accumulator = 0.0;
    double m_shown = 0.0;
    char m_pending = 0;
    std::string m_entry; // the number being typed, with '.' as separator; empty: none
    bool m_failed = false;
};

} // namespace kalvor
