// The size search of the main window: picks one size per shape and writes it into its size box.
#include "mainwindow/MainFormUnit.h"

#include "common/Errors.h"
#include "common/NumberText.h"
#include "search/SizeSearch.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"

#include "ui_MainFormUnit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <optional>
#include <string>

namespace kalvor {

namespace {

const QString ErrorCaption = QStringLiteral("Ошибка");
const QString NoStepText =
    QStringLiteral("Введите пожалуйста шаг подбора нестандартных воздуходов");
const QString CheckSizeAText = QStringLiteral("Проверьте размер А"); // Cyrillic А
const QString CheckSizeBText = QStringLiteral("Проверьте размер B"); // Latin B

// The number a numeric box shows; an empty box or a text that is not a number gives 0.
double BoxValue(const QLineEdit* box, char separator) {
    try {
        return ParseNumber(box->text().toStdString(), separator);
    } catch (const ConversionError&) {
        return 0.0;
    }
}

// Writes the edit text of a size box when the search has one for it; its list and selected item
// stay as they are.
void SetSizeText(QComboBox* box, const std::optional<std::string>& text) {
    if (!text) {
        return;
    }
    const QSignalBlocker blockBox(box);
    const QSignalBlocker blockEdit(box->lineEdit());
    box->setEditText(QString::fromStdString(*text));
}

} // namespace

void TmainForm::FindSizesBtnClick() {
    SizeSearchInputs inputs;
    inputs.decimalSeparator = SystemDecimalSeparator();
    inputs.Q = BoxValue(m_ui->Qedit, inputs.decimalSeparator);
    inputs.Vmax = BoxValue(m_ui->VEdit, inputs.decimalSeparator);
    inputs.method = m_ui->ZakrepitRazmerRg->itemIndex();
    inputs.rectangularText = m_ui->DuctCb->currentText().toStdString();

    const SizeSearchResult found = RunSizeSearch(inputs, store(), SizeA, SizeB);
    SetSizeText(m_ui->DEdit, found.round);
    SetSizeText(m_ui->DuctCb, found.rectangular);
    SetSizeText(m_ui->OvalDuctCb, found.flatOval);
    switch (found.end) {
    case SizeSearchEnd::NoStep:
        ShowMessage(this, ErrorCaption, NoStepText);
        break;
    case SizeSearchEnd::CheckSizeA:
        ShowMessage(this, ErrorCaption, CheckSizeAText);
        break;
    case SizeSearchEnd::CheckSizeB:
        ShowMessage(this, ErrorCaption, CheckSizeBText);
        break;
    case SizeSearchEnd::Completed:
    case SizeSearchEnd::Failed:
        break;
    }
    // However the run ended, the labels show the results of the sizes now in the boxes: after a
    // message the round box already holds its new size, after a failure the failure texts.
    editChange();
}

} // namespace kalvor
