// The main window: inputs, the three duct sections side by side, the size search, tray and menus.
#pragma once

#include "settings/SettingsStore.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class TmainForm;
}

namespace kalvor {

class TOptionsForm;
class TDuctSizesForm;

class TmainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TmainForm(QWidget* parent = nullptr); // runs FormCreate under the handler guard
    ~TmainForm() override;

    // The window's controls by their names, for the other windows and for tests.
    Ui::TmainForm* ui() const { return m_ui.get(); }

    // The other two windows, set by CreateForms once they exist.
    void setOptionsForm(TOptionsForm* form) { m_optionsForm = form; }
    void setDuctSizesForm(TDuctSizesForm* form) { m_ductSizesForm = form; }
    TOptionsForm* optionsForm() const { return m_optionsForm; }

    // The shared settings accessor, replaced by every run of FormCreate.
    SettingsStore& store() { return *m_store; }

    // The sizes of the last parsed size text, in metres.
    double SizeA = 0.0;
    double SizeB = 0.0;

    // Handlers, named as the system names them. Each runs its body under the handler guard.
    void FormCreate();        // settings accessor, key, the three size lists from the catalogues
    void editChange();        // the recalculation of every result label
    void FindSizesBtnClick(); // the size search (mainwindow/FindSizesBtnClick.cpp)

private:
    std::unique_ptr<Ui::TmainForm> m_ui;
    std::unique_ptr<SettingsStore> m_store;
    TOptionsForm* m_optionsForm = nullptr;
    TDuctSizesForm* m_ductSizesForm = nullptr;
};

} // namespace kalvor
