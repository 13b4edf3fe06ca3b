// The pop-up calculator of the numeric boxes: digits, the four operations, equals, clear, OK.
#pragma once

#include <QFrame>
#include <QString>

#include <string>

class QLabel;

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
    QString display(char decimalSeparator) const;

private:
    double current() const;
    void finish();

    double m_accumulator = 0.0;
    double m_shown = 0.0;
    char m_pending = 0;
    std::string m_entry; // the number being typed, with '.' as separator; empty: none
    bool m_failed = false;
};

class CalcPopup : public QFrame {
    Q_OBJECT

public:
    explicit CalcPopup(QWidget* parent = nullptr);

    // Shows the pop-up below the given widget, starting from the value.
    void popUp(QWidget* below, double value);

    Calculator& calculator() { return m_calculator; }
    QString displayText() const;

signals:
    void accepted(double value); // OK or Enter: the result for the box

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void press(const QString& key);
    void refresh();

    Calculator m_calculator;
    QLabel* m_display;
};

} // namespace kalvor
