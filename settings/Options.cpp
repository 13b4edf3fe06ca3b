// The settings window: loads the stored settings into both windows and applies the user's changes.
#include "settings/Options.h"

#include "ui_Options.h"

#include "common/Errors.h"
#include "common/NumberText.h"
#include "mainwindow/CalculatorWindow.h"
#include "settings/SettingsStore.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"
#include "widgets/Utf8.h"

#include <QPushButton>

namespace kalvor {

TOptionsForm::TOptionsForm(std::shared_ptr<SettingsStore> store, CalculatorWindow* main,
                           QWidget* owner)
    : CalculatorDialog(Qt::Tool, QSize(265, 289), std::move(store), main, owner)
    , m_ui(std::make_unique<Ui::TOptionsForm>()) {
    m_ui->setupUi(this);

    InstallKeyFilter(m_ui->ShagLe);
    InstallKeyFilter(m_ui->tEdit);
    InstallKeyFilter(m_ui->PBarEdit);

    connect(m_ui->ApplyBtn, &QPushButton::clicked, this, &TOptionsForm::ApplyBtnClick);
    connect(m_ui->OKBtn, &QPushButton::clicked, this, &TOptionsForm::OKBtnClick);

    FormCreate();
}

TOptionsForm::~TOptionsForm() = default;

QString TOptionsForm::temperatureText() const {
    return m_ui->tEdit->text();
}

QString TOptionsForm::pressureText() const {
    return m_ui->PBarEdit->text();
}

int TOptionsForm::unitsIndex() const {
    return m_ui->m_mmRg->itemIndex();
}

int TOptionsForm::sideOrderIndex() const {
    return m_ui->ABRadioGroup->itemIndex();
}

void TOptionsForm::FormCreate() {
    Guarded(this, [this] { LoadSettings(); });
}

void TOptionsForm::ApplyBtnClick() {
    RunApply();
}

void TOptionsForm::OKBtnClick() {
    Guarded(this, [this] {
        bool stepIsWhole = true;
        ApplySettings(stepIsWhole);
        close();
    });
}

bool TOptionsForm::FormClose() {
    return RunApply();
}

bool TOptionsForm::RunApply() {
    bool stepIsWhole = true;
    Guarded(this, [this, &stepIsWhole] { ApplySettings(stepIsWhole); });
    return stepIsWhole;
}

// The settings load: reads the stored settings into this window and relabels the main window.
void TOptionsForm::LoadSettings() {
    SettingsStore& settings = store();
    if (!settings.KeyExists(SettingsKey)) {
        ShowMessage(this, QStringLiteral("Ошибка, что-то не так"),
                    QStringLiteral("Пожалуйста, переустановите программу"));
        calculator().requestClose();
        return;
    }
    m_ui->ShagLe->setText(
        Utf8(FormatNumber(settings.ReadInteger("Shag"), SystemDecimalSeparator())));
    m_ui->m_mmRg->setItemIndex(settings.ReadInteger("mm"));
    m_ui->ABRadioGroup->setItemIndex(settings.ReadInteger("AB"));
    calculator().showSideOrder(m_ui->ABRadioGroup->itemIndex() == 0);

    m_ui->PBarEdit->setText(Utf8(settings.ReadString("PBar")));
    m_ui->tEdit->setText(Utf8(settings.ReadString("t")));
}

// The apply step: stores the fields, loads them back into both windows and runs the size search.
// stepIsWhole turns false when the step field does not hold a whole number.
void TOptionsForm::ApplySettings(bool& stepIsWhole) {
    SettingsStore& settings = store();
    settings.OpenKey(SettingsKey, true);
    int step = 0;
    try {
        step = ParseInteger(Utf8(m_ui->ShagLe->text()));
    } catch (const ConversionError&) {
        stepIsWhole = false;
        throw;
    }
    settings.WriteInteger("Shag", step);
    settings.WriteInteger("mm", m_ui->m_mmRg->itemIndex());
    settings.WriteInteger("AB", m_ui->ABRadioGroup->itemIndex());
    settings.WriteString("t", Utf8(m_ui->tEdit->text()));
    settings.WriteString("PBar", Utf8(m_ui->PBarEdit->text()));
    LoadSettings();
    // The lists follow the units and order just stored; the search then writes its sizes.
    calculator().rebuildSizeLists();
    calculator().FindSizesBtnClick();
}

} // namespace kalvor
