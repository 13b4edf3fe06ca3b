// The network's table on paper: A4 landscape pages for the printer and for PDF files.
#pragma once

#include "network/Network.h"

#include <QDate>
#include <QPageLayout>

class QPagedPaintDevice;

namespace kalvor {

inline constexpr int RowsPerPage = 40;

// A4 landscape, 10 mm margins.
QPageLayout NetworkPageLayout();

// Paints the pages on a device set to NetworkPageLayout: on every page the title block (the
// name, the date, the air state, the page's number), the headings and at most RowsPerPage rows;
// the totals after the last row, on a page of their own only when they do not fit below it. The
// main path's rows are bold, a flagged imbalance is shaded. Returns the number of pages.
int PaintNetworkPages(QPagedPaintDevice& device, const Network& network,
                      const NetworkResults& results, const QDate& date, char decimalSeparator);

} // namespace kalvor
