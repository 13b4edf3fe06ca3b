// The size search of the main window: picks one size per shape and writes it into its size box.
#include "mainwindow/MainFormUnit.h"

#include "catalogues/CatalogueFile.h"
#include "common/NumberText.h"
#include "hydraulics/Formulas.h"
#include "hydraulics/Sections.h"
#include "search/SizeSearch.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"

#include "ui_MainFormUnit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

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

// Writes the edit text of a size box; its list and selected item stay as they are.
void SetSizeText(QComboBox* box, const QString& text) {
    const QSignalBlocker blockBox(box);
    const QSignalBlocker blockEdit(box->lineEdit());
    box->setEditText(text);
}

// A size in metres as a size-box number, in millimetres when the store says so.
QString SizeNumber(double metres, bool millimetres, char separator) {
    return QString::fromStdString(FormatNumber(millimetres ? metres * 1000.0 : metres, separator));
}

QString SizePair(double first, double second, bool millimetres, char separator) {
    return SizeNumber(first, millimetres, separator) + QLatin1Char('*') +
           SizeNumber(second, millimetres, separator);
}

} // namespace

void TmainForm::FindSizesBtnClick() {
    runSizeSearch();
    // However the run ended, the labels show the results of the sizes now in the boxes: after a
    // message the round box already holds its new size, after a failure the failure texts.
    editChange();
}

void TmainForm::runSizeSearch() {
    const char separator = SystemDecimalSeparator();
    try {
        const SizeCatalogue round = ReadSizeCatalogue(DuctShape::Round, "Roundduct.txt");
        const double Vmax = BoxValue(m_ui->VEdit, separator);
        const double Q = BoxValue(m_ui->Qedit, separator);
        const double Fneeded = RequiredArea(Q, Vmax);

        std::size_t row = ScanCatalogue(round, DuctShape::Round, 0, Fneeded);
        SetSizeText(m_ui->DEdit,
                    SizeNumber(round.A[row], store().ReadInteger("mm") != 0, separator));

        const SizeCatalogue rectangular = ReadSizeCatalogue(DuctShape::Rectangular);
        const int method = m_ui->ZakrepitRazmerRg->itemIndex();
        if (method == 0) {
            row = ScanCatalogue(rectangular, DuctShape::Rectangular, 0, Fneeded);
            const bool millimetres = store().ReadInteger("mm") != 0;
            const double A = rectangular.A[row];
            const double B = rectangular.B[row];
            SetSizeText(m_ui->DuctCb, store().ReadInteger("ab") == 0
                                          ? SizePair(A, B, millimetres, separator)
                                          : SizePair(B, A, millimetres, separator));
        } else if (method == 1 || method == 2) {
            if (!store().KeyExists(SettingsKey)) {
                ShowMessage(this, ErrorCaption, NoStepText);
                return;
            }
            const int shag = store().ReadInteger("Shag");
            if (shag <= 0) {
                // A step of zero or less could never reach the area: refused like a missing one.
                ShowMessage(this, ErrorCaption, NoStepText);
                return;
            }
            const double step = shag / 1000.0;
            ParseSizeText(m_ui->DuctCb->currentText().toStdString(), store(), separator, SizeA,
                          SizeB);
            if (method == 1) {
                if (SizeA == 0.0) {
                    ShowMessage(this, ErrorCaption, CheckSizeAText);
                    return;
                }
                SizeB = StepFreeSide(SizeA, step, Fneeded);
            } else {
                if (SizeB == 0.0) {
                    ShowMessage(this, ErrorCaption, CheckSizeBText);
                    return;
                }
                SizeA = StepFreeSide(SizeB, step, Fneeded);
            }
            SetSizeText(m_ui->DuctCb,
                        SizePair(SizeA, SizeB, store().ReadInteger("mm") != 0, separator));
        }

        const SizeCatalogue oval = ReadSizeCatalogue(DuctShape::FlatOval);
        row = ScanCatalogue(oval, DuctShape::FlatOval, 1, Fneeded);
        const bool millimetres = store().ReadInteger("mm") != 0;
        SetSizeText(m_ui->OvalDuctCb,
                    store().ReadInteger("AB") == 0
                        ? SizePair(oval.A[row], oval.B[row], millimetres, separator)
                        : SizePair(oval.B[row], oval.A[row], millimetres, separator));
    } catch (const std::exception&) {
        // Any failure: the failure texts, no message.
        SetSizeText(m_ui->DuctCb, QStringLiteral("0*0"));
        SetSizeText(m_ui->OvalDuctCb, QStringLiteral("0*0"));
        SetSizeText(m_ui->DEdit, QStringLiteral("0"));
    }
}

} // namespace kalvor
