// The arithmetic of the pop-up calculator: a number being typed, a pending operation, a result.
#include "common/Calculator.h"

#include "common/NumberText.h"

#include <algorithm>
#include <cmath>

namespace kalvor {

Calculator::Calculator(double start)
    : m_shown(start) {}

double Calculator::current() const {
    if (m_entry.empty() || m_entry == ".") {
        return m_entry.empty() ? m_shown : 0.0;
    }
    return ParseNumber(m_entry, '.');
}

void Calculator::digit(int d) {
    if (m_failed || d < 0 || d > 9) {
        return;
    }
    if (m_entry.size() >= 15) {
        return;
    }
    if (m_entry == "0") {
        m_entry.clear();
    }
    m_entry.push_back(static_cast<char>('0' + d));
}

void Calculator::separator() {
    if (m_failed || m_entry.find('.') != std::string::npos) {
        return;
    }
    m_entry += m_entry.empty() ? "0." : ".";
}

void Calculator::finish() {
    const double operand = current();
    double result = operand;
    switch (m_pending) {
    case '+':
        result = m_accumulator + operand;
        break;
    case '-':
        result = m_accumulator - operand;
        break;
    case '*':
        result = m_accumulator * operand;
        break;
    case '/':
        if (operand == 0.0) {
            m_failed = true;
            return;
        }
        result = m_accumulator / operand;
        break;
    default:
        break;
    }
    if (!std::isfinite(result)) {
        m_failed = true;
        return;
    }
    m_shown = result;
    m_accumulator = result;
    m_entry.clear();
}

void Calculator::operation(char op) {
    if (m_failed) {
        return;
    }
    // A second operation key without a number between them only replaces the first.
    if (m_pending == 0 || !m_entry.empty()) {
        finish();
    }
    if (!m_failed) {
        m_pending = op;
    }
}

void Calculator::equals() {
    if (m_failed) {
        return;
    }
    finish();
    m_pending = 0;
}

void Calculator::backspace() {
    if (!m_failed && !m_entry.empty()) {
        m_entry.pop_back();
    }
}

void Calculator::clear() {
    *this = Calculator();
}

double Calculator::value() const {
    return m_failed ? 0.0 : current();
}

std::string Calculator::display(char decimalSeparator) const {
    if (!m_entry.empty()) {
        std::string text = m_entry;
        std::replace(text.begin(), text.end(), '.', decimalSeparator);
        return text;
    }
    return FormatNumber(m_shown, decimalSeparator);
}

} // namespace kalvor
