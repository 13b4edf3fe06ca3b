// The network's table as the program shows and exports it: the columns and cells of the Russian
// aerodynamic table, the lines above and below it, the readable text report and the CSV.
#pragma once

#include "network/Network.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// One column of the Russian form.
struct FormColumn {
    std::string_view heading; // "№ уч.", "L, м³/ч", ...
    bool numeric;             // right-aligned, a number cell in a spreadsheet
    int decimals;             // shown decimals; -1: the number text as it is (inputs)
};

// One cell: the text shown (numbers rounded to the column's decimals) and, for a numeric cell, the
// unrounded value; empty text and no value where nothing is to be shown.
struct FormCell {
    std::string text;
    std::optional<double> number;
};

// "№ уч.", "От уч.", "Форма", "Размер, мм", "Материал", "L, м³/ч", "l, м", "Σζ", "F, м²", "De, м",
// "v, м/с", "R, Па/м", "R·l, Па", "Pд, Па", "Z, Па", "R·l+Z, Па", "ΣΔP, Па", "Невязка, %".
const std::vector<FormColumn>& NetworkFormColumns();

// The cells of one section, in the columns' order. L is the flow through the section.
std::vector<FormCell> NetworkFormRow(const Network& network, const NetworkResults& results,
                                     std::size_t section, char decimalSeparator = '.');

// The title block: the network's name and its air state.
std::vector<std::string> NetworkTitleLines(const Network& network, const NetworkResults& results,
                                           char decimalSeparator = '.');

// The totals under the table: the main path and its loss, the fan pressure with the reserve, the
// flagged branches, the sizes chosen from the catalogues (and those for which the catalogue had no
// size large enough), the sections faster than their Vmax, the sections without air, and a warning
// when the network's air lies outside the temperatures the friction formula holds for. Each list
// names at most maxNamed sections (at least one), the rest counted: "уч. 5, 7, 12 и ещё 38"; the
// main path longer than that shows its first sections and its last: "1 → 2 → 3 → … → 90 (всего
// 90 уч.)". The reports name every section.
inline constexpr std::size_t AllNamed = static_cast<std::size_t>(-1);
std::vector<std::string> NetworkTotalsLines(const Network& network, const NetworkResults& results,
                                            char decimalSeparator = '.',
                                            std::size_t maxNamed = AllNamed);

// The readable report: title, the table in aligned columns ("*" before a section of the main path,
// "!" after a flagged imbalance), the totals.
std::string NetworkReport(const Network& network, const NetworkResults& results);

inline constexpr std::string_view NetworkCsvHeader =
    "id,parent,shape,size,material,flow,length,kms,F,De,V,R,Rl,Pd,Z,P,path,main,imbalance,over_"
    "vmax";

// The header, then one line per section in file order: size the one used, in mm; flow the flow
// through the section; numbers as number texts with "." (15 significant digits at most); main 1
// or 0; imbalance empty for a section not compared; over_vmax 1 for a section faster than its Vmax.
// Texts pass SpreadsheetText; fields with a comma, a quote or a line end are quoted. Lines end
// with LF.
std::string NetworkCsv(const Network& network, const NetworkResults& results);

// A CSV field: the text through SpreadsheetText, quoted, with its quotes doubled, when it holds
// the delimiter, a quote or a line end.
std::string CsvField(const std::string& text, char delimiter = ',');

// A number with the given decimals, rounded to nearest, no grouping: "12.35". A value whose text
// would be wider than MaxFixedWidth characters is written with its exponent instead: "1.235E18".
inline constexpr std::size_t MaxFixedWidth = 12;
std::string FixedNumber(double value, int decimals, char decimalSeparator = '.');

// A text cell as a spreadsheet must take it: one beginning with "=", "+", "-" or "@" that is not
// a number gets a leading apostrophe, so that it is never run as a formula.
std::string SpreadsheetText(const std::string& text);

} // namespace kalvor
