// The numeric key filter: lets digits, separators, backspace, "*" and "-" through.
#include "widgets/KeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>
#include <QWidget>

namespace kalvor {

char SystemDecimalSeparator() {
    return QLocale::system().decimalPoint() == QStringLiteral(".") ? '.' : ',';
}

QChar QeditKeyPress(QChar key) {
    const char16_t c = key.unicode();
    const bool allowed =
        (c >= u'0' && c <= u'9') || c == u'.' || c == u',' || c == 8 || c == u'*' || c == u'-';
    if (!allowed) {
        return QChar();
    }
    if (c == u'.' || c == u',') {
        // Asked anew for every separator key, as the locale may change while the program runs.
        return QChar(QLatin1Char(SystemDecimalSeparator()));
    }
    return key;
}

namespace {
// The editing shortcuts of every Qt line edit: select all, copy, cut, paste, undo, redo, and the
// Insert and Delete forms of copy, paste and cut. They are commands, not typed characters.
bool IsEditingShortcut(const QKeyEvent* event) {
    static const QKeySequence::StandardKey Shortcuts[] = {
        QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
        QKeySequence::Paste,     QKeySequence::Undo, QKeySequence::Redo,
    };
    for (const QKeySequence::StandardKey shortcut : Shortcuts) {
        if (event->matches(shortcut)) {
            return true;
        }
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Insert:
        return modifiers == Qt::ControlModifier || modifiers == Qt::ShiftModifier;
    case Qt::Key_Delete:
        return modifiers == Qt::ShiftModifier;
    default:
        // Any other Control chord types no character; the line edit decides what it means.
        return (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) != 0 &&
               !(event->text().size() == 1 && event->text().at(0).isPrint());
    }
}

bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}
} // namespace

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const QString text = keyEvent->text();
    if (text.isEmpty() || IsNavigationKey(keyEvent->key()) || IsEditingShortcut(keyEvent)) {
        return false;
    }
    if (text.size() != 1) {
        return true; // several characters at once (input methods): none of them is a digit key
    }
    const QChar typed = text.at(0);
    const QChar filtered = QeditKeyPress(typed);
    if (filtered.isNull()) {
        return true;
    }
    if (filtered == typed) {
        return false;
    }
    // Deliver the replaced character in place of the typed one; the filter lets it pass, since
    // the separator of the system is a character it accepts unchanged.
    const int key = filtered == QLatin1Char('.') ? Qt::Key_Period : Qt::Key_Comma;
    QKeyEvent replaced(QEvent::KeyPress, key, keyEvent->modifiers(), QString(filtered));
    QCoreApplication::sendEvent(watched, &replaced);
    return true;
}

void InstallKeyFilter(QWidget* widget) {
    static KeyFilter* filter = new KeyFilter(QCoreApplication::instance());
    widget->installEventFilter(filter);
}

} // namespace kalvor
