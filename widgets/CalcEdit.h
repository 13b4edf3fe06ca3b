// The numeric entry box: a number with at most two decimals, grouped while unfocused, with a
// pop-up calculator.
#pragma once

#include <QLineEdit>
#include <QString>

class QToolButton;

namespace kalvor {

class CalcPopup;

class CalcEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CalcEdit(QWidget* parent = nullptr);
    ~CalcEdit() override;

    // The number the text shows: 0 for an empty text, for a lone sign or a lone separator; a
    // trailing separator is ignored.
    double Value() const;

    // Writes the value as its "0.##" text (the locale's separator, no grouping); 0 becomes the
    // empty text. Writing the text the box already shows raises no change. A value with more
    // integer digits than the box holds throws FloatError (overflow) and changes nothing.
    void setValue(double value);

    // The text painted while the box has no focus: the value grouped by thousands, 0 for zero.
    QString groupedText() const;

    // Opens the pop-up calculator below the box, starting from the box's value.
    void showCalculator();
    CalcPopup* calculator() const { return m_popup; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButton();
    void takeCalculatorResult(double value);

    QToolButton* m_button;
    CalcPopup* m_popup = nullptr;
};

// The most digits a numeric box takes before its decimal separator: every such number, with its
// two decimals, converts exactly enough and never overflows.
inline constexpr int MaxIntegerDigits = 15;

// Whether setValue can write the value: finite, at most MaxIntegerDigits integer digits once
// rounded to two decimals.
bool FitsNumericBox(double value);

// The "0.##" text of a value: rounded to two decimals, no grouping, empty for zero.
QString ValueText(double value, char decimalSeparator);

// The ",0.##" text of a value: the integer part grouped by thousands with the group separator.
QString GroupedValueText(double value, char decimalSeparator, const QString& groupSeparator);

// Whether a text may stand in the box: a number with at most MaxIntegerDigits integer digits and
// two decimals, or a text on the way to one (empty, a lone sign, a trailing separator).
bool IsNumberOnTheWay(const QString& text, QChar decimalSeparator);

} // namespace kalvor
