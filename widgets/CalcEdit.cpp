// The numeric entry box: text "0.##", painted grouped ",0.##" while unfocused, pop-up calculator.
#include "widgets/CalcEdit.h"

#include "common/Errors.h"
#include "common/NumberText.h"
#include "widgets/CalcPopup.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"

#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QValidator>

#include <cmath>

namespace kalvor {

namespace {

constexpr int ButtonWidth = 15;

// The text parts of a number on the way: sign, integer digits, whether a separator stands,
// the decimals.
struct NumberParts {
    QString sign, integer, decimals;
    bool separator = false;
};

bool SplitNumber(const QString& text, QChar decimalSeparator, NumberParts& parts) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        parts.sign = text[i];
        ++i;
    }
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        parts.integer += text[i++];
    }
    if (i < n && text[i] == decimalSeparator) {
        parts.separator = true;
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            parts.decimals += text[i++];
        }
    }
    return i == n && parts.decimals.size() <= 2 && parts.integer.size() <= MaxIntegerDigits;
}

// Refuses every edit that would not leave a number with at most two decimals on the way.
class TwoDecimalsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return IsNumberOnTheWay(input, QLatin1Char(SystemDecimalSeparator())) ? Acceptable
                                                                              : Invalid;
    }
};

} // namespace

bool IsNumberOnTheWay(const QString& text, QChar decimalSeparator) {
    NumberParts parts;
    return SplitNumber(text, decimalSeparator, parts);
}

QString ValueText(double value, char decimalSeparator) {
    const double rounded = RoundTo(value, 2);
    if (rounded == 0.0) {
        return {};
    }
    return QString::fromStdString(FormatNumber(rounded, decimalSeparator));
}

QString GroupedValueText(double value, char decimalSeparator, const QString& groupSeparator) {
    const QString text = QString::fromStdString(FormatNumber(RoundTo(value, 2), decimalSeparator));
    NumberParts parts;
    if (!SplitNumber(text, QLatin1Char(decimalSeparator), parts) || parts.integer.isEmpty()) {
        return text; // the exponent form of a huge value stays as it is
    }
    QString grouped;
    const int digits = static_cast<int>(parts.integer.size());
    for (int i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0) {
            grouped += groupSeparator;
        }
        grouped += parts.integer[i];
    }
    QString result = parts.sign + grouped;
    if (parts.separator) {
        result += QLatin1Char(decimalSeparator) + parts.decimals;
    }
    return result;
}

CalcEdit::CalcEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_button(new QToolButton(this)) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setValidator(new TwoDecimalsValidator(this));
    m_button->setObjectName(QStringLiteral("calcButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    setTextMargins(0, 0, ButtonWidth, 0);
    connect(m_button, &QToolButton::clicked, this, &CalcEdit::showCalculator);
    placeButton();
}

CalcEdit::~CalcEdit() = default;

double CalcEdit::Value() const {
    const char separator = SystemDecimalSeparator();
    NumberParts parts;
    if (!SplitNumber(text(), QLatin1Char(separator), parts)) {
        return 0.0; // only the program could have written such a text
    }
    if (parts.integer.isEmpty() && parts.decimals.isEmpty()) {
        return 0.0;
    }
    QString number = parts.sign + (parts.integer.isEmpty() ? QStringLiteral("0") : parts.integer);
    if (!parts.decimals.isEmpty()) {
        number += QLatin1Char('.') + parts.decimals;
    }
    // At most 15 integer digits and two decimals always convert; the value is read while
    // painting, where nothing may throw.
    try {
        return ParseNumber(number.toStdString(), '.');
    } catch (const Error&) {
        return 0.0;
    }
}

bool FitsNumericBox(double value) {
    return std::isfinite(value) && IsNumberOnTheWay(ValueText(value, SystemDecimalSeparator()),
                                                    QLatin1Char(SystemDecimalSeparator()));
}

void CalcEdit::setValue(double value) {
    if (!FitsNumericBox(value)) {
        // More integer digits than the box holds: the value cannot be shown, so nothing is
        // written and the run that wanted it stops with the error.
        throw FloatError::Overflow();
    }
    const QString newText = ValueText(value, SystemDecimalSeparator());
    if (newText != text()) {
        setText(newText);
    }
}

QString CalcEdit::groupedText() const {
    return GroupedValueText(Value(), SystemDecimalSeparator(), QLocale::system().groupSeparator());
}

void CalcEdit::showCalculator() {
    if (m_popup == nullptr) {
        m_popup = new CalcPopup(this);
        connect(m_popup, &CalcPopup::accepted, this, &CalcEdit::takeCalculatorResult);
    }
    QFont keys = font();
    keys.setBold(false); // the box's digits are bold, the keypad's are not
    m_popup->setFont(keys);
    m_popup->popUp(this, Value());
}

void CalcEdit::takeCalculatorResult(double value) {
    // The box has the focus again before its text changes, as when the user types the value.
    setFocus(Qt::PopupFocusReason);
    Guarded(this, [this, value] { setValue(value); });
}

void CalcEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down &&
        (event->modifiers() & ~(Qt::KeypadModifier | Qt::AltModifier)) == Qt::NoModifier) {
        showCalculator();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CalcEdit::paintEvent(QPaintEvent* event) {
    if (hasFocus()) {
        QLineEdit::paintEvent(event);
        return;
    }
    // Unfocused: the frame as usual, then the grouped value in place of the text.
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    area = area.marginsRemoved(textMargins()).adjusted(2, 1, -2, -1);
    painter.setClipRect(area);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, groupedText());
}

void CalcEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeButton();
}

void CalcEdit::placeButton() {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_button->setGeometry(width() - frame - ButtonWidth, frame, ButtonWidth, height() - 2 * frame);
}

} // namespace kalvor
