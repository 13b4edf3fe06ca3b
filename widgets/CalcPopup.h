// The pop-up calculator of the numeric boxes: digits, the four operations, equals, clear, OK.
#pragma once

#include "common/Calculator.h"

#include <QFrame>
#include <QString>

class QLabel;

namespace kalvor {

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
