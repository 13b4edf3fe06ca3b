// The settings window: step, units, size order, air temperature and pressure.
#pragma once

#include "mainwindow/CalculatorDialog.h"
#include "settings/SettingsFields.h"

#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace Ui {
class TOptionsForm;
}

namespace kalvor {

class SettingsStore;

namespace test {
struct FormAccess;
}

class TOptionsForm : public CalculatorDialog, public SettingsFields {
    Q_OBJECT

public:
    // Created hidden; the constructor runs FormCreate, the settings load, under the handler guard.
    // The store is the accessor the windows share; main is the calculator window that the load
    // relabels and the apply step asks for lists and a search; owner the window it opens over.
    TOptionsForm(std::shared_ptr<SettingsStore> store, CalculatorWindow* main, QWidget* owner);
    ~TOptionsForm() override;

    // The fields as they stand: tEdit and PBarEdit hold the live air state.
    QString temperatureText() const override;
    QString pressureText() const override;
    int unitsIndex() const override;
    int sideOrderIndex() const override;

    void FormCreate();    // the settings load
    void ApplyBtnClick(); // the apply step
    void OKBtnClick();    // apply, then close (which applies again)
    // Runs whenever the window closes: the apply step. False while the step field does not hold
    // a whole number, which keeps the window open.
    bool FormClose();

    // Whether a write of the field of that value ("mm", "AB", "t" or "PBar") may replace what is
    // stored: the field holds what the settings load filled in or what the user changed, or no
    // such value is stored yet. A field still showing its design value (a load that stopped
    // early) never replaces a stored value.
    bool mayStore(SettingsStore& store, std::string_view name) const override;

protected:
    bool closeRequested() override { return FormClose(); }

private:
    friend struct test::FormAccess;
    Ui::TOptionsForm* ui() const { return m_ui.get(); }

    // The bodies of the handlers; they throw what they meet.
    void LoadSettings();
    void ApplySettings(bool& stepIsWhole);
    bool RunApply();

    std::unique_ptr<Ui::TOptionsForm> m_ui;
    std::set<std::string, std::less<>> m_held; // values whose fields were loaded or changed
};

} // namespace kalvor
