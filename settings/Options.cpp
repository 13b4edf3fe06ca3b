// The settings window: loads the stored settings into both windows and applies the user's changes.
#include "settings/Options.h"

#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include "common/Errors.h"
#include "common/NumberText.h"
#include "mainwindow/MainFormUnit.h"
#include "settings/SettingsStore.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace kalvor {

namespace {
QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string Utf8(const QString& text) {
    return text.toStdString();
}
} // namespace

TOptionsForm::TOptionsForm(TmainForm* mainForm, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TOptionsForm>())
    , m_mainForm(mainForm) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(265, 289);

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

TOptionsForm::~TOptionsForm() = default;

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
    SettingsStore& store = m_mainForm->store();
    // A hive that is there but cannot be read is no missing installation: the reads below fail.
    if (!store.KeyExists(SettingsKey) && store.Trouble() == HiveTrouble::None) {
        ShowMessage(this, QStringLiteral("Ошибка, что-то не так"),
                    QStringLiteral("Пожалуйста, переустановите программу"));
        m_mainForm->close();
        return;
    }
    m_ui->ShagLe->setText(Utf8(FormatNumber(store.ReadInteger("Shag"), SystemDecimalSeparator())));
    m_ui->m_mmRg->setItemIndex(store.ReadInteger("mm"));
    m_held.insert("mm");
    m_ui->ABRadioGroup->setItemIndex(store.ReadInteger("AB"));
    m_held.insert("AB");

    // Item 1 of the search method always fixes the side written first in a size text.
    const bool aFirst = m_ui->ABRadioGroup->itemIndex() == 0;
    const QString order = aFirst ? QStringLiteral("AxB") : QStringLiteral("BxA");
    const QString fixA = QStringLiteral("Закрепить \"A\"");
    const QString fixB = QStringLiteral("Закрепить \"B\"");
    Ui::TmainForm* main = m_mainForm->ui();
    main->ABLabel->setText(order);
    main->ABOvalLabel->setText(order);
    RadioGroup* method = main->ZakrepitRazmerRg;
    method->clearItems();
    method->addItem(QStringLiteral("Стандартный"));
    method->addItem(aFirst ? fixA : fixB);
    method->addItem(aFirst ? fixB : fixA);
    method->setItemIndex(0);

    m_ui->PBarEdit->setText(Utf8(store.ReadString("PBar")));
    m_held.insert("PBar");
    m_ui->tEdit->setText(Utf8(store.ReadString("t")));
    m_held.insert("t");
}

// The apply step: stores the fields, loads them back into both windows and runs the size search.
// stepIsWhole turns false when the step field does not hold a whole number.
void TOptionsForm::ApplySettings(bool& stepIsWhole) {
    SettingsStore& store = m_mainForm->store();
    store.OpenKey(SettingsKey, true);
    int step = 0;
    try {
        step = ParseInteger(Utf8(m_ui->ShagLe->text()));
    } catch (const ConversionError&) {
        stepIsWhole = false;
        throw;
    }
    store.WriteInteger("Shag", step);
    if (mayStore(store, "mm")) {
        store.WriteInteger("mm", m_ui->m_mmRg->itemIndex());
    }
    if (mayStore(store, "AB")) {
        store.WriteInteger("AB", m_ui->ABRadioGroup->itemIndex());
    }
    if (mayStore(store, "t")) {
        store.WriteString("t", Utf8(m_ui->tEdit->text()));
    }
    if (mayStore(store, "PBar")) {
        store.WriteString("PBar", Utf8(m_ui->PBarEdit->text()));
    }
    LoadSettings();
    m_mainForm->FindSizesBtnClick();
}

void TOptionsForm::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TOptionsForm::showEvent(QShowEvent* event) {
    if (m_mainForm != nullptr && !event->spontaneous()) {
        CentreOver(this, m_mainForm);
    }
    QDialog::showEvent(event);
}

void TOptionsForm::reject() {}

} // namespace kalvor
