// The catalogue editor: view, sort, extend and save the standard sizes of one duct shape.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TDuctSizesForm;
}

namespace kalvor {

class TmainForm;

class TDuctSizesForm : public QDialog {
    Q_OBJECT

public:
    explicit TDuctSizesForm(TmainForm* mainForm, QWidget* parent = nullptr);
    ~TDuctSizesForm() override;

    Ui::TDuctSizesForm* ui() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::TDuctSizesForm> m_ui;
    TmainForm* m_mainForm;
};

} // namespace kalvor
