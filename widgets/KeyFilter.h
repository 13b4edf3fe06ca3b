// The numeric key filter shared by the numeric and size boxes of every window.
#pragma once

#include <QChar>
#include <QObject>

class QWidget;

namespace kalvor {

// The system's decimal separator: '.' when the locale's is ".", ',' otherwise.
char SystemDecimalSeparator();

// The filter on one typed character: digits, ".", ",", backspace, "*" and "-" pass, a point or a
// comma becomes the system's decimal separator; everything else returns QChar() (swallowed).
QChar QeditKeyPress(QChar key);

// Applies QeditKeyPress to the characters typed into a widget. An editable combo box receives the
// keys itself and hands them to its line edit directly, so install it on the combo box (and on
// its line edit for keys sent there). Navigation keys (Tab, Enter, Escape, Delete, arrows) and the
// editing shortcuts (Ctrl+A, Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z, Ctrl+Shift+Z, Ctrl+Insert,
// Shift+Insert, Shift+Delete) are not characters and pass untouched.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs one shared filter on the widget.
void InstallKeyFilter(QWidget* widget);

} // namespace kalvor
