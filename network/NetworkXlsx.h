// The network's table as a spreadsheet file (XLSX).
#pragma once

#include "network/Network.h"

#include <string>

namespace kalvor {

// Writes one sheet: the title block (name, air state, Vmax, as label and numeric cell), the
// Russian headings, one row per section (numbers in numeric cells, shown with the table's
// decimals; the main path in bold, a flagged imbalance in red), then the totals. Replaces the file
// whole: a failed write leaves an old file as it was. Throws Error.
void WriteNetworkXlsx(const std::string& path, const Network& network,
                      const NetworkResults& results);

} // namespace kalvor
