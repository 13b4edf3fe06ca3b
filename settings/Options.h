// The settings window: step, units, size order, air temperature and pressure.
#pragma once

#include <QDialog>

#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace Ui {
class TOptionsForm;
}

namespace kalvor {

class SettingsStore;
class TmainForm;

class TOptionsForm : public QDialog {
    Q_OBJECT

public:
    // Created hidden; the constructor runs FormCreate, the settings load, under the handler guard.
    explicit TOptionsForm(TmainForm* mainForm, QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // The window's controls by their names; tEdit and PBarEdit hold the live air state.
    Ui::TOptionsForm* ui() const { return m_ui.get(); }

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
    bool mayStore(SettingsStore& store, std::string_view name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override; // Escape: the window has no cancel, so it stays open

private:
    // The bodies of the handlers; they throw what they meet.
    void LoadSettings();
    void ApplySettings(bool& stepIsWhole);
    bool RunApply();

    std::unique_ptr<Ui::TOptionsForm> m_ui;
    TmainForm* m_mainForm;
    std::set<std::string, std::less<>> m_held; // values whose fields were loaded or changed
};

} // namespace kalvor
