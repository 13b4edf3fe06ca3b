// The network's table as a CSV that a Russian spreadsheet opens as cells.
#pragma once

#include "network/Network.h"

#include <string>

namespace kalvor {

// UTF-8 with a byte-order mark, ";" between fields, CRLF line ends: the title lines, a blank line,
// the Russian headings (and "v > vmax"), one line per section with its shape and material named
// in Russian and numbers unrounded with the given decimal separator, a blank line, the totals. A
// text field that a spreadsheet would take for a formula (it begins with "=", "+", "-" or "@") is
// written with a leading apostrophe.
std::string NetworkSheetCsv(const Network& network, const NetworkResults& results,
                            char decimalSeparator);

} // namespace kalvor
