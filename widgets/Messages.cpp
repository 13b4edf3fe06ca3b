// Message boxes, the beep and the hooks through which tests observe them.
#include "widgets/Messages.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
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
// A box raised while an always-on-top window is shown (the splash during start-up) stays on top
// as well, so that it shows above that window instead of hiding behind it.
void KeepAboveAlwaysOnTop(QMessageBox& box) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* window : windows) {
        if (window != &box && window->isVisible() &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
            return;
        }
    }
}

// A box wide enough for its caption, which window managers cut short in a narrow frame: the
// caption in a bold title font, plus room for the frame's icon and buttons.
void FitCaption(QMessageBox& box) {
    QFont title = box.font();
    title.setBold(true);
    const int captionWidth = QFontMetrics(title).horizontalAdvance(box.windowTitle());
    const int width = captionWidth * 6 / 5 + 120;
    if (auto* layout = qobject_cast<QGridLayout*>(box.layout())) {
        layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                        layout->rowCount(), 0, 1, layout->columnCount());
    }
}

// Shows a box modally, its whole caption readable, above the start-up's splash.
void Run(QMessageBox& box) {
    FitCaption(box);
    KeepAboveAlwaysOnTop(box);
    box.exec();
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
    Run(box);
}

void ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
    if (MessageHook()) {
        MessageHook()({caption, text, false});
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    Run(box);
}

SaveAnswer AskToSave(QWidget* parent, const QString& caption, const QString& text) {
    if (MessageHook()) {
        MessageHook()({caption, text, false});
        return SaveAnswer::Cancel;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QStringLiteral("Сохранить"), QMessageBox::AcceptRole);
    QPushButton* discard =
        box.addButton(QStringLiteral("Не сохранять"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    Run(box);
    return box.clickedButton() == save      ? SaveAnswer::Save
           : box.clickedButton() == discard ? SaveAnswer::Discard
                                            : SaveAnswer::Cancel;
}

ChangedFileAnswer AskAboutChangedFile(QWidget* parent, const QString& caption,
                                      const QString& text) {
    if (MessageHook()) {
        MessageHook()({caption, text, false});
        return ChangedFileAnswer::Cancel;
    }
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent);
    QPushButton* overwrite =
        box.addButton(QStringLiteral("Перезаписать"), QMessageBox::DestructiveRole);
    QPushButton* reopen = box.addButton(QStringLiteral("Открыть заново"), QMessageBox::ResetRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    Run(box);
    return box.clickedButton() == overwrite ? ChangedFileAnswer::Overwrite
           : box.clickedButton() == reopen  ? ChangedFileAnswer::Reopen
                                            : ChangedFileAnswer::Cancel;
}

int Ask(QWidget* parent, const QString& caption, const QString& text, const QStringList& buttons) {
    if (MessageHook()) {
        MessageHook()({caption, text, false});
        return static_cast<int>(buttons.size()) - 1;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QList<QPushButton*> pushed;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        pushed.append(
            box.addButton(buttons[i], last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    if (!pushed.isEmpty()) {
        box.setDefaultButton(pushed.first());
        box.setEscapeButton(pushed.last());
    }
    Run(box);
    const auto pressed = pushed.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return pressed >= 0 ? static_cast<int>(pressed) : static_cast<int>(buttons.size()) - 1;
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
