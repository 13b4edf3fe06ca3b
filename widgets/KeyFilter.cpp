// The numeric key filter: lets digits, separators, backspace, "*" and "-" through.
#include "widgets/KeyFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
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
    if (text.isEmpty() || IsNavigationKey(keyEvent->key())) {
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
    // Deliver the replaced character in place of the typed one.
    const int key = filtered == QLatin1Char('.') ? Qt::Key_Period : Qt::Key_Comma;
    QKeyEvent replaced(QEvent::KeyPress, key, keyEvent->modifiers(), QString(filtered));
    watched->removeEventFilter(this);
    QCoreApplication::sendEvent(watched, &replaced);
    watched->installEventFilter(this);
    return true;
}

void InstallKeyFilter(QWidget* widget) {
    static KeyFilter* filter = new KeyFilter(QCoreApplication::instance());
    widget->installEventFilter(filter);
}

} // namespace kalvor
