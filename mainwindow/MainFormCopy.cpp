// "Копировать результаты": the results on screen and the inputs behind them, as a table that
// pastes into a spreadsheet as cells.
#include "mainwindow/MainFormUnit.h"

#include "common/TextTable.h"
#include "ui_MainFormUnit.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>

namespace kalvor {

namespace {

// The number of a result label as it shows it: the text between the prefix's "=" and the unit's
// "["; empty for a reset text.
std::string LabelNumber(const QLabel* label) {
    const QString text = label->text();
    const qsizetype start = text.indexOf(QLatin1Char('=')) + 1;
    const qsizetype unit = text.indexOf(QLatin1Char('['), start);
    return text.mid(start, unit < 0 ? -1 : unit - start).trimmed().toStdString();
}

std::string Text(const QString& text) {
    return text.toStdString();
}

// A numeric box's number: its text, 0 for the empty text (which the box shows as 0).
std::string BoxNumber(const QLineEdit* box) {
    return box->text().isEmpty() ? std::string("0") : Text(box->text());
}

} // namespace

std::string TmainForm::resultsTable() const {
    const Ui::TmainForm& ui = *m_ui;
    std::vector<TextRow> rows;
    rows.push_back(
        {"Сечение", "Размер", "Материал", "V [м/с]", "R [Па/м]", "De [м]", "Pd [Па]", "P [Па]"});
    rows.push_back({"Прямоугольный", Text(ui.DuctCb->currentText()),
                    Text(ui.MaterialCb->currentText()), LabelNumber(ui.DuctVLabel),
                    LabelNumber(ui.DuctRLabel), LabelNumber(ui.DEqDuctLabel),
                    LabelNumber(ui.DuctPdLabel), LabelNumber(ui.DuctPLabel)});
    rows.push_back({"Плоскоовальный", Text(ui.OvalDuctCb->currentText()),
                    Text(ui.OvalDuctMaterialCb->currentText()), LabelNumber(ui.OvalDuctVLabel),
                    LabelNumber(ui.OvalDuctRLabel), LabelNumber(ui.OvalDuctDeLabel),
                    LabelNumber(ui.OvalDuctPdLabel), LabelNumber(ui.OvalDuctPLabel)});
    // The round section shows no equivalent diameter: it is the diameter itself.
    rows.push_back({"Круглый", Text(ui.DEdit->currentText()), Text(ui.MaterialDCb->currentText()),
                    LabelNumber(ui.DVLabel), LabelNumber(ui.RoundDuctRLabel), "",
                    LabelNumber(ui.RoundDuctPdLabel), LabelNumber(ui.RoundDuctPLabel)});
    rows.push_back({});
    rows.push_back({"Расход воздуха [м3/ч]", BoxNumber(ui.Qedit)});
    rows.push_back({"Расход воздуха [л/с]", BoxNumber(ui.LEdit)});
    rows.push_back({"Макс. скорость [м/с]", BoxNumber(ui.VEdit)});
    rows.push_back({"Длина [м]", BoxNumber(ui.LLe)});
    rows.push_back({"Сумма КМС", BoxNumber(ui.KMSLe)});
    rows.push_back({"Темп. [C°]", Text(airStateText(true))});
    rows.push_back({"Бар. давление [ГПа]", Text(airStateText(false))});
    return TabSeparated(rows);
}

void TmainForm::CopyResultsMiClick() {
    QApplication::clipboard()->setText(QString::fromStdString(resultsTable()));
}

} // namespace kalvor
