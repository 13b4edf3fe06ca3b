// The recalculation: every input change rewrites the results of the three duct sections.
#include "mainwindow/MainFormUnit.h"

#include "common/Errors.h"
#include "common/NumberText.h"
#include "hydraulics/Formulas.h"
#include "hydraulics/Sections.h"
#include "settings/SettingsFields.h"
#include "ui_MainFormUnit.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"

#include <optional>
#include <string>

namespace kalvor {

namespace {

// A result label: the prefix, the value rounded to its decimals, the unit with no blank before it.
void WriteResult(QLabel* label, const char* prefix, double value, int decimals, const char* unit,
                 char decimalSeparator) {
    label->setText(
        QString::fromUtf8(prefix) +
        QString::fromStdString(FormatNumber(RoundTo(value, decimals), decimalSeparator)) +
        QString::fromUtf8(unit));
}

std::string TextOf(const QString& text) {
    return text.toStdString();
}

} // namespace

void TmainForm::editChange() {
    if (m_recalculating) {
        // Started again by the flow box that the run under way writes: that run reads the same
        // inputs and writes every label after this point, so there is nothing to add here.
        return;
    }
    m_recalculating = true;
    Guarded(this, [this] { recalculate(); });
    m_recalculating = false;
}

QString TmainForm::airStateText(bool temperature) const {
    const SettingsFields* fields = settingsFields();
    if (fields == nullptr) {
        // Without the settings window its fields would hold their design texts.
        return temperature ? QStringLiteral("0") : QStringLiteral("990");
    }
    return temperature ? fields->temperatureText() : fields->pressureText();
}

bool TmainForm::heightWrittenFirst() {
    try {
        return store().ReadInteger("AB") != 0;
    } catch (const RegistryError&) {
        return false; // without a stored order, sizes are written in the first order
    }
}

TmainForm::CommonInputs TmainForm::readCommonInputs(char decimalSeparator) {
    CommonInputs inputs{};
    inputs.t = ParseNumber(TextOf(airStateText(true)), decimalSeparator);
    inputs.PBar = ParseNumber(TextOf(airStateText(false)), decimalSeparator);
    if (m_ui->LLe->text().isEmpty()) {
        m_ui->LLe->setValue(0); // a zero shows as the empty text: nothing changes
    }
    inputs.l = m_ui->LLe->Value();
    inputs.KMS = m_ui->KMSLe->Value();
    return inputs;
}

TmainForm::SectionLabels TmainForm::rectangularLabels() const {
    return {m_ui->DuctVLabel, m_ui->DuctRLabel, m_ui->DEqDuctLabel, m_ui->DuctPdLabel,
            m_ui->DuctPLabel};
}

TmainForm::SectionLabels TmainForm::flatOvalLabels() const {
    return {m_ui->OvalDuctVLabel, m_ui->OvalDuctRLabel, m_ui->OvalDuctDeLabel,
            m_ui->OvalDuctPdLabel, m_ui->OvalDuctPLabel};
}

void TmainForm::resetSection(const SectionLabels& labels) {
    labels.V->setText(QStringLiteral("V= "));
    labels.R->setText(QStringLiteral("R="));
    labels.De->setText(QStringLiteral("De="));
    labels.Pd->setText(QStringLiteral("Pd="));
    labels.P->setText(QStringLiteral("P="));
}

void TmainForm::resetRound() {
    m_ui->DVLabel->setText(QStringLiteral("V="));
    m_ui->RoundDuctRLabel->setText(QStringLiteral("R="));
    m_ui->RoundDuctPdLabel->setText(QStringLiteral("Pd="));
    m_ui->RoundDuctPLabel->setText(QStringLiteral("P="));
}

void TmainForm::recalculateSection(DuctShape shape, const QString& sizeText, int materialIndex,
                                   const SectionLabels& labels, char separator) {
    ParseSizeText(TextOf(sizeText), store(), separator, SizeA, SizeB);
    if (!(SizeA > 0 && SizeB > 0)) {
        resetSection(labels);
        return;
    }
    // A flat-oval text shows the overall width first under "AxB" and the height first under
    // "BxA", so that a size means the same duct in either order.
    const SectionGeometry geometry = shape == DuctShape::Rectangular
                                         ? RectangularSection(SizeA, SizeB)
                                     : heightWrittenFirst() ? FlatOvalSection(SizeB, SizeA)
                                                            : FlatOvalSection(SizeA, SizeB);
    const double Q = m_ui->Qedit->Value();
    const double V = FlowVelocity(Q, geometry.F);
    const CommonInputs in = readCommonInputs(separator);
    const double k = WallRoughness(shape, materialIndex);
    const SectionResults r =
        ComputeSection(Q, geometry.F, geometry.De, k, in.t, in.PBar, in.l, in.KMS);
    WriteResult(labels.R, "R=", r.R, 2, "[Pa/m]", separator);
    WriteResult(labels.De, "De=", geometry.De, 3, "[m]", separator);
    WriteResult(labels.V, "V= ", V, 2, "[m/s]", separator);
    WriteResult(labels.Pd, "Pd= ", r.Pd, 3, "[Pa]", separator);
    WriteResult(labels.P, "P= ", r.P, 3, "[Pa]", separator);
}

void TmainForm::recalculate() {
    Ui::TmainForm& ui = *m_ui;
    const char separator = SystemDecimalSeparator();

    // The flow box that has the focus drives the other.
    if (ui.Qedit->hasFocus()) {
        ui.LEdit->setValue(RoundTo(ui.Qedit->Value() / 3.6, 3));
    }
    if (ui.LEdit->hasFocus()) {
        ui.Qedit->setValue(RoundTo(ui.LEdit->Value() * 3.6, 3));
    }

    const std::string flow = TextOf(ui.Qedit->text());
    if (!TextAboveZero(flow) || flow.empty() || flow == "0,") {
        resetSection(rectangularLabels());
        resetSection(flatOvalLabels());
        resetRound();
        return;
    }

    recalculateSection(DuctShape::Rectangular, ui.DuctCb->currentText(),
                       ui.MaterialCb->currentIndex(), rectangularLabels(), separator);
    recalculateSection(DuctShape::FlatOval, ui.OvalDuctCb->currentText(),
                       ui.OvalDuctMaterialCb->currentIndex(), flatOvalLabels(), separator);

    // Round section: its flow is the text of the flow box, converted.
    const std::optional<double> D =
        ParseDiameterText(TextOf(ui.DEdit->currentText()), store(), separator);
    if (!D) {
        resetRound();
        return;
    }
    const SectionGeometry geometry = RoundSection(*D);
    const double Q = ParseNumber(flow, separator);
    const double V = FlowVelocity(Q, geometry.F);
    const double k = WallRoughness(DuctShape::Round, ui.MaterialDCb->currentIndex());
    const CommonInputs in = readCommonInputs(separator);
    const SectionResults r = ComputeSection(Q, geometry.F, *D, k, in.t, in.PBar, in.l, in.KMS);
    WriteResult(ui.RoundDuctRLabel, "R=", r.R, 3, "[Pa/m]", separator);
    WriteResult(ui.DVLabel, "V= ", V, 2, "[m/s]", separator);
    WriteResult(ui.RoundDuctPdLabel, "Pd=", r.Pd, 2, "[Pa]", separator);
    WriteResult(ui.RoundDuctPLabel, "P= ", r.P, 3, "[Pa]", separator);
}

} // namespace kalvor
