// Message boxes, the beep and the hooks through which tests observe them.
#include "widgets/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace kalvor {

namespace {
std::function<void(const ShownMessage&)>& MessageHook() {
    static std::function<void(const ShownMessage&)> hook;
    return hook;
}
std::function<void()>& BeepHook() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

QString ApplicationTitle() {
    return QStringLiteral("Подбор сечений воздуховода");
}

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') {
        return message + QLatin1Char('.');
    }
    return message;
}

void ShowErrorBox(QWidget* parent, const QString& message) {
    const QString text = ErrorBoxText(message);
    if (MessageHook()) {
        MessageHook()({ApplicationTitle(), text, true});
        return;
    }
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
    if (MessageHook()) {
        MessageHook()({caption, text, false});
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void CentreOver(QWidget* window, const QWidget* over) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(over->frameGeometry().center());
    window->move(frame.topLeft());
}

void MessageBeep() {
    if (BeepHook()) {
        BeepHook()();
        return;
    }
    QApplication::beep();
}

void SetMessageHook(std::function<void(const ShownMessage&)> hook) {
    MessageHook() = std::move(hook);
}

void SetBeepHook(std::function<void()> hook) {
    BeepHook() = std::move(hook);
}

} // namespace kalvor
