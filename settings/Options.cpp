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

#include <QLineEdit>
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
    // What the user changes is the user's to store, loaded or not.
    connect(m_ui->m_mmRg, &RadioGroup::clicked, this, [this] { m_held.insert("mm"); });
    connect(m_ui->ABRadioGroup, &RadioGroup::clicked, this, [this] { m_held.insert("AB"); });
    connect(m_ui->tEdit, &QLineEdit::textEdited, this, [this] { m_held.insert("t"); });
    connect(m_ui->PBarEdit, &QLineEdit::textEdited, this, [this] { m_held.insert("PBar"); });

    FormCreate();
}

TOptionsForm::~TOptionsForm() {
    // Signals the children send as they go (after this window's members) reach nothing of it.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

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

bool TOptionsForm::mayStore(SettingsStore& store, std::string_view name) const {
    return m_held.contains(name) || !store.ValueExists(name);
}

bool TOptionsForm::RunApply() {
    bool stepIsWhole = true;
    Guarded(this, [this, &stepIsWhole] { ApplySettings(stepIsWhole); });
    return stepIsWhole;
}

// The settings load: reads the stored settings into this window and relabels the main window.
void TOptionsForm::LoadSettings() {
    SettingsStore& settings = store();
    // A hive that is there but cannot be read is no missing installation: the reads below fail.
    if (!settings.KeyExists(SettingsKey) && settings.Trouble() == HiveTrouble::None) {
        ShowMessage(this, QStringLiteral("Ошибка, что-то не так"),
                    QStringLiteral("Пожалуйста, переустановите программу"));
        calculator().requestClose();
        return;
    }
    m_ui->ShagLe->setText(
        Utf8(FormatNumber(settings.ReadInteger("Shag"), SystemDecimalSeparator())));
    m_ui->m_mmRg->setItemIndex(settings.ReadInteger("mm"));
    m_held.insert("mm");
    m_ui->ABRadioGroup->setItemIndex(settings.ReadInteger("AB"));
    m_held.insert("AB");
    calculator().showSideOrder(m_ui->ABRadioGroup->itemIndex() == 0);

    m_ui->PBarEdit->setText(Utf8(settings.ReadString("PBar")));
    m_held.insert("PBar");
    m_ui->tEdit->setText(Utf8(settings.ReadString("t")));
    m_held.insert("t");
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
    if (mayStore(settings, "mm")) {
        settings.WriteInteger("mm", m_ui->m_mmRg->itemIndex());
    }
    if (mayStore(settings, "AB")) {
        settings.WriteInteger("AB", m_ui->ABRadioGroup->itemIndex());
    }
    if (mayStore(settings, "t")) {
        settings.WriteString("t", Utf8(m_ui->tEdit->text()));
    }
    if (mayStore(settings, "PBar")) {
        settings.WriteString("PBar", Utf8(m_ui->PBarEdit->text()));
    }
    LoadSettings();
    // The lists follow the units and order just stored; the search then writes its sizes.
    calculator().rebuildSizeLists();
    calculator().FindSizesBtnClick();
}

} // namespace kalvor
