// A modal window of the calculator: its fixed size, the settings accessor the windows share and
// the main window's door, handed in by whoever creates it.
#pragma once

#include "mainwindow/CalculatorWindow.h"
#include "settings/SettingsStore.h"
#include "widgets/ModalDialog.h"

#include <QSize>

#include <memory>

namespace kalvor {

class CalculatorDialog : public ModalDialog {
    Q_OBJECT

protected:
    CalculatorDialog(Qt::WindowType type, QSize size, std::shared_ptr<SettingsStore> store,
                     CalculatorWindow* main, QWidget* owner);

    SettingsStore& store() const { return *m_store; }
    CalculatorWindow& calculator() const { return *m_main; }

private:
    std::shared_ptr<SettingsStore> m_store;
    CalculatorWindow* m_main;
};

} // namespace kalvor
