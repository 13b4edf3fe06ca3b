// The common part of the settings window and the catalogue editor.
#include "mainwindow/CalculatorDialog.h"

namespace kalvor {

CalculatorDialog::CalculatorDialog(Qt::WindowType type, QSize size,
                                   std::shared_ptr<SettingsStore> store, CalculatorWindow* main,
                                   QWidget* owner)
    : ModalDialog(type, owner)
    , m_store(std::move(store))
    , m_main(main) {
    setFixedSize(size);
}

} // namespace kalvor
