// Tab-separated text of a table.
#include "common/TextTable.h"

namespace kalvor {

std::string TabSeparated(const std::vector<TextRow>& rows) {
    std::string text;
    for (const TextRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) {
                text += '\t';
            }
            for (const char c : row[i]) {
                text += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
            }
        }
        text += '\n';
    }
    return text;
}

} // namespace kalvor
