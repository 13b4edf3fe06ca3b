// Tables as tab-separated text, the form in which spreadsheets take pasted cells.
#pragma once

#include <string>
#include <vector>

namespace kalvor {

using TextRow = std::vector<std::string>;

// One line per row, cells joined by tabs, every line ended by a line feed. A tab, CR or LF inside
// a cell would split it, so each becomes a blank.
std::string TabSeparated(const std::vector<TextRow>& rows);

} // namespace kalvor
