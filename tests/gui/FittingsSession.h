// The window tests' way to the dialog "Подбор КМС": its cells, its fields by parameter id, its
// OK, and the dialog answered while a menu item waits for it.
#pragma once

#include "FormAccess.h"

#include "ui_FittingsForm.h"

#include "fittings/FittingsForm.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <functional>

namespace kalvor::test {

inline Ui::TFittingsForm* Form(TFittingsForm& dialog) {
    return UiOf(&dialog);
}

inline QString Cell(TFittingsForm& dialog, int row, int column) {
    const QTableWidgetItem* item = Form(dialog)->FittingsTw->item(row, column);
    return item != nullptr ? item->text() : QStringLiteral("(none)");
}

// The current fitting's field of that parameter id ("count" for the count).
template <class Field = QLineEdit> Field* FieldOf(TFittingsForm& dialog, const char* id) {
    return dialog.findChild<Field*>(QString::fromLatin1(id));
}

inline bool OkEnabled(TFittingsForm& dialog) {
    return Form(dialog)->ButtonBox->button(QDialogButtonBox::Ok)->isEnabled();
}

// Once the dialog is shown modally (by a menu item that waits for it), act works on it and then
// the button is pressed; seen tells whether it came.
inline void WhenShown(QObject* owner, std::function<void(TFittingsForm&)> act,
                      QDialogButtonBox::StandardButton button, bool& seen) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, button, &seen] {
        auto* dialog = qobject_cast<TFittingsForm*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        seen = true;
        act(*dialog);
        Form(*dialog)->ButtonBox->button(button)->click();
    });
    timer->start(10);
}

enum FittingsColumn { NameColumn = 1, CountColumn = 2, ZetaColumn = 3, ProductColumn = 4 };

} // namespace kalvor::test
