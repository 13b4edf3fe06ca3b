// The calculator's section as the network window takes it (flow, length, the sum of local
// resistances, each shape's size in millimetres with its material), and that sum from fittings.
#include "mainwindow/MainFormUnit.h"

#include "common/Errors.h"
#include "common/NumberText.h"
#include "hydraulics/Sections.h"
#include "hydraulics/SizeText.h"
#include "ui_MainFormUnit.h"
#include "widgets/CalcEdit.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"

#include <QComboBox>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace kalvor {

namespace {

// Millimetres from metres, as their number text reads back: 0.3 m gives 300, not 300.00000000004.
double Millimetres(double metres) {
    return ParseNumber(FormatNumber(ShownSize(metres, true), '.'), '.');
}

} // namespace

CalculatorSection TmainForm::calculatorSection() {
    const Ui::TmainForm& ui = *m_ui;
    const char separator = SystemDecimalSeparator();
    CalculatorSection section;
    section.Q = ui.Qedit->Value();
    section.l = ui.LLe->Value();
    section.KMS = ui.KMSLe->Value();
    if (!m_fittings.empty() && ui.KMSLe->text() == m_fittingsText) {
        section.fittings = m_fittings;
    }

    // Under "BxA" a two-sided text reads the second side first; the section takes the first.
    const bool swapped = heightWrittenFirst();
    const auto pair = [&](const QComboBox* box, const QComboBox* material, CalculatorDuct& duct) {
        double A = 0.0, B = 0.0;
        try {
            ParseSizeText(box->currentText().toStdString(), store(), separator, A, B);
        } catch (const Error&) {
            A = B = 0.0; // a text that is no size, or no stored units: no size to take
        }
        if (swapped) {
            std::swap(A, B);
        }
        duct.sized = A > 0.0 && B > 0.0;
        duct.A = duct.sized ? Millimetres(A) : 0.0;
        duct.B = duct.sized ? Millimetres(B) : 0.0;
        duct.material = std::max(material->currentIndex(), 0);
    };
    pair(ui.DuctCb, ui.MaterialCb, section.rectangular);
    pair(ui.OvalDuctCb, ui.OvalDuctMaterialCb, section.flatOval);

    std::optional<double> D;
    try {
        D = ParseDiameterText(ui.DEdit->currentText().toStdString(), store(), separator);
    } catch (const Error&) {
        D.reset();
    }
    section.round.sized = D && *D > 0.0;
    section.round.A = section.round.sized ? Millimetres(*D) : 0.0;
    section.round.material = std::max(ui.MaterialDCb->currentIndex(), 0);

    const auto air = [&](bool temperature) -> std::optional<double> {
        try {
            return ParseNumber(airStateText(temperature).toStdString(), separator);
        } catch (const ConversionError&) {
            return std::nullopt;
        }
    };
    section.t = air(true);
    section.PBar = air(false);
    return section;
}

void TmainForm::KmsMiClick() {
    Guarded(this, [this] {
        if (m_fittingsPicker == nullptr) {
            return;
        }
        CalcEdit* box = m_ui->KMSLe;
        const std::vector<FittingUse> start =
            box->text() == m_fittingsText ? m_fittings : std::vector<FittingUse>{};
        const std::optional<std::vector<FittingUse>> taken =
            m_fittingsPicker->pickFittings(this, start, std::nullopt);
        if (!taken) {
            return;
        }
        // The box holds two decimals; its change recalculates the labels as typing would.
        box->setValue(RoundTo(FittingsZetaSum(*taken), 2));
        m_fittings = *taken;
        m_fittingsText = box->text();
    });
}

} // namespace kalvor
