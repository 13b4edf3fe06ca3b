// The network's table as a Russian spreadsheet's CSV.
#include "network/NetworkSheetCsv.h"

#include "common/NumberText.h"
#include "network/NetworkTable.h"

#include <algorithm>
#include <vector>

namespace kalvor {

std::string NetworkSheetCsv(const Network& network, const NetworkResults& results, char separator) {
    constexpr std::string_view End = "\r\n";
    std::string text = "\xEF\xBB\xBF";
    for (const std::string& line : NetworkTitleLines(network, results, separator)) {
        text += CsvField(line, ';') + std::string(End);
    }
    text += End;
    std::string headings;
    for (const FormColumn& column : NetworkFormColumns()) {
        headings += CsvField(std::string(column.heading), ';') + ";";
    }
    text += headings + "v > vmax" + std::string(End);
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        const SectionResult& result = results.sections[i];
        std::vector<FormCell> cells = NetworkFormRow(network, results, i, separator);
        // The size's millimetres with the separator of the other numbers.
        std::replace(cells[3].text.begin(), cells[3].text.end(), '.', separator);
        std::string line;
        for (const FormCell& cell : cells) {
            line +=
                (cell.number ? FormatNumber(*cell.number, separator) : CsvField(cell.text, ';')) +
                ";";
        }
        text += line + (result.overVmax ? "1" : "0") + std::string(End);
    }
    text += End;
    for (const std::string& line : NetworkTotalsLines(network, results, separator)) {
        text += CsvField(line, ';') + std::string(End);
    }
    return text;
}

} // namespace kalvor
