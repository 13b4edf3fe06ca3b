// The pop-up calculator: a small keypad window that hands its result to the box it belongs to.
#include "widgets/CalcPopup.h"

#include "common/NumberText.h"
#include "widgets/KeyFilter.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>

namespace kalvor {

namespace {
// The keypad, row by row; the separator key shows the locale's separator.
constexpr const char* Keys[5][4] = {{"7", "8", "9", "/"},
                                    {"4", "5", "6", "*"},
                                    {"1", "2", "3", "-"},
                                    {"0", ".", "=", "+"},
                                    {"C", "<", "OK", nullptr}};

QString KeyCaption(const QString& key) {
    if (key == QLatin1String("/")) {
        return QStringLiteral("÷");
    }
    if (key == QLatin1String("*")) {
        return QStringLiteral("×");
    }
    if (key == QLatin1String("-")) {
        return QStringLiteral("−");
    }
    if (key == QLatin1String(".")) {
        return QString(QLatin1Char(SystemDecimalSeparator()));
    }
    if (key == QLatin1String("<")) {
        return QStringLiteral("←");
    }
    return key;
}
} // namespace

CalcPopup::CalcPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_display(new QLabel(this)) {
    setObjectName(QStringLiteral("calcPopup"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    m_display->setObjectName(QStringLiteral("calcDisplay"));
    m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_display->setFrameShape(QFrame::Panel);
    m_display->setFrameShadow(QFrame::Sunken);
    m_display->setAutoFillBackground(true);
    m_display->setBackgroundRole(QPalette::Base);
    m_display->setMinimumHeight(20);
    grid->addWidget(m_display, 0, 0, 1, 4);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (Keys[row][column] == nullptr) {
                continue;
            }
            const QString key = QString::fromLatin1(Keys[row][column]);
            auto* button = new QToolButton(this);
            button->setObjectName(QStringLiteral("calcKey") + key);
            button->setText(KeyCaption(key));
            button->setFocusPolicy(Qt::NoFocus);
            button->setMinimumSize(26, 22);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            connect(button, &QToolButton::clicked, this, [this, key] { press(key); });
            const int span = key == QLatin1String("OK") ? 2 : 1;
            grid->addWidget(button, row + 1, column, 1, span);
        }
    }
}

void CalcPopup::popUp(QWidget* below, double value) {
    m_calculator = Calculator(value);
    refresh();
    adjustSize();
    QPoint position = below->mapToGlobal(QPoint(0, below->height()));
    if (const QScreen* screen = below->screen()) {
        const QRect area = screen->availableGeometry();
        if (position.y() + height() > area.bottom()) {
            position.setY(below->mapToGlobal(QPoint(0, 0)).y() - height());
        }
        position.setX(qBound(area.left(), position.x(), area.right() - width()));
    }
    move(position);
    show();
}

QString CalcPopup::displayText() const {
    return m_display->text();
}

void CalcPopup::press(const QString& key) {
    const QChar c = key.at(0);
    if (c.isDigit()) {
        m_calculator.digit(c.digitValue());
    } else if (key == QLatin1String(".")) {
        m_calculator.separator();
    } else if (key == QLatin1String("=")) {
        m_calculator.equals();
    } else if (key == QLatin1String("C")) {
        m_calculator.clear();
    } else if (key == QLatin1String("<")) {
        m_calculator.backspace();
    } else if (key == QLatin1String("OK")) {
        m_calculator.equals();
        if (!m_calculator.failed()) {
            hide();
            emit accepted(m_calculator.value());
            return;
        }
    } else {
        m_calculator.operation(c.toLatin1());
    }
    refresh();
}

void CalcPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        press(QStringLiteral("OK"));
        return;
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Backspace:
        press(QStringLiteral("<"));
        return;
    case Qt::Key_Delete:
        press(QStringLiteral("C"));
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1) {
        const QChar c = text.at(0);
        if (c.isDigit() || QStringLiteral("+-*/=").contains(c)) {
            press(text);
            return;
        }
        if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            press(QStringLiteral("."));
            return;
        }
        if (c == QLatin1Char('c') || c == QLatin1Char('C')) {
            press(QStringLiteral("C"));
            return;
        }
    }
    QFrame::keyPressEvent(event);
}

void CalcPopup::refresh() {
    m_display->setText(m_calculator.failed() ? QStringLiteral("Ошибка")
                                             : QString::fromStdString(
                                                   m_calculator.display(SystemDecimalSeparator())));
}

} // namespace kalvor
