// Message boxes, the handler guard (every error a handler meets is shown, none escapes), placing.
#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace kalvor {

// The application title, the caption of the standard error box.
QString ApplicationTitle(); // "Подбор сечений воздуховода"

// The error's message with a full stop appended when its last character's code is above '.'.
QString ErrorBoxText(const QString& message);

// The standard error box: the text above, the application title, OK, the stop icon.
void ShowErrorBox(QWidget* parent, const QString& message);

// The program's own messages for inputs the user can correct: OK only, no icon.
void ShowMessage(QWidget* parent, const QString& caption, const QString& text);

// The question about unsaved changes: "Сохранить", "Не сохранять", "Отмена" (Escape), with the
// question icon. While a message hook is set, the hook sees it and the answer is Cancel: nothing
// is lost where no one can answer.
enum class SaveAnswer { Save, Discard, Cancel };
SaveAnswer AskToSave(QWidget* parent, const QString& caption, const QString& text);

// The question before a save over a file that another program changed since it was read:
// "Перезаписать", "Открыть заново", "Отмена" (Escape, the default), with the warning icon. While
// a message hook is set, the hook sees it and the answer is Cancel.
enum class ChangedFileAnswer { Overwrite, Reopen, Cancel };
ChangedFileAnswer AskAboutChangedFile(QWidget* parent, const QString& caption, const QString& text);

// A question with buttons of its own, the first the default and the last the answer to Escape
// (the one that does nothing). Returns the index of the button pressed. While a message hook is
// set, the hook sees it and the answer is the last button.
int Ask(QWidget* parent, const QString& caption, const QString& text, const QStringList& buttons);

// Places a window so that its frame is centred on another's.
void CentreOver(QWidget* window, const QWidget* over);

// The default message beep.
void MessageBeep();

// What a box would show, for runs that must never stop at a modal box (the benchmarks record
// instead; the window tests answer the real boxes).
struct ShownMessage {
    QString caption, text;
    bool error; // the standard error box (stop icon) rather than a plain message
};
// While a hook is set, boxes are handed to it instead of being shown; nullptr restores the boxes.
void SetMessageHook(std::function<void(const ShownMessage&)> hook);
void SetBeepHook(std::function<void()> hook);

// Runs one handler body; an error it throws is shown in the standard error box. Returns whether
// the body ran to its end.
template <class Body> bool Guarded(QWidget* parent, Body&& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        ShowErrorBox(parent, QString::fromStdString(error.what()));
        return false;
    }
}

} // namespace kalvor
