// The settings window: step, units, size order, air temperature and pressure.
#pragma once

#include "widgets/ModalDialog.h"

#include <memory>

namespace Ui {
class TOptionsForm;
}

namespace kalvor {

class TmainForm;

class TOptionsForm : public ModalDialog {
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

protected:
    bool closeRequested() override { return FormClose(); }

private:
    // The bodies of the handlers; they throw what they meet.
    void LoadSettings();
    void ApplySettings(bool& stepIsWhole);
    bool RunApply();

    std::unique_ptr<Ui::TOptionsForm> m_ui;
    TmainForm* m_mainForm;
};

} // namespace kalvor
