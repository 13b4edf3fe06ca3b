// Printed pages of the network's table: title block, headings repeated, rows, totals.
#include "network/NetworkPrint.h"

#include "common/NumberText.h"
#include "network/NetworkSheet.h"
#include "network/NetworkTable.h"
#include "widgets/Utf8.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kalvor {

namespace {

// Shares of the page's width, column by column in the table's order.
constexpr double ColumnShares[] = {5, 5, 9, 9.5, 8.5, 6,   5, 4, 5.5,
                                   5, 5, 5, 5.5, 5.5, 5.5, 6, 6, 6};

QFont PrintFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct Layout {
    double width = 0, height = 0;
    double titleHeight = 0, headingHeight = 0, rowHeight = 0, totalsHeight = 0, gap = 0;
    std::vector<double> columnLeft; // and the right edge last
    int tablePages = 1;
    bool totalsApart = false;
    int pages() const { return tablePages + (totalsApart ? 1 : 0); }
};

} // namespace

QPageLayout NetworkPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int PaintNetworkPages(QPagedPaintDevice& device, const Network& network,
                      const NetworkResults& results, const QDate& date, char separator) {
    QPainter painter(&device);
    const QFont titleFont = PrintFont(11, true), textFont = PrintFont(8);
    const QFont cellFont = PrintFont(7), boldCellFont = PrintFont(7, true),
                headingFont = PrintFont(7, true);
    const QFontMetricsF title(titleFont, &device), text(textFont, &device), cell(cellFont, &device),
        heading(headingFont, &device);

    const std::vector<std::string> titleLines = NetworkTitleLines(network, results, separator);
    std::vector<std::string> totals = NetworkTotalsLines(network, results, separator);
    if (!network.sections.empty()) {
        totals.insert(totals.begin(), "Жирным — участки главного направления; заливкой — невязка "
                                      "выше " +
                                          FormatNumber(network.tolerance, separator) + " %");
    }

    Layout layout;
    layout.width = device.width();
    layout.height = device.height();
    layout.gap = text.height() * 0.6;
    layout.titleHeight = title.height() + 2 * text.height() + layout.gap;
    layout.headingHeight = 2 * heading.height() + heading.height() * 0.4;
    for (const std::string& line : totals) {
        layout.totalsHeight +=
            text.boundingRect(QRectF(0, 0, layout.width, 1e6), Qt::TextWordWrap, Utf8(line))
                .height();
    }
    const int rows = static_cast<int>(network.sections.size());
    layout.tablePages = std::max(1, (rows + RowsPerPage - 1) / RowsPerPage);
    const double forRows = layout.height - layout.titleHeight - layout.headingHeight;
    const double preferred = cell.height() * 1.35, least = cell.height() * 1.1;
    layout.rowHeight =
        std::min(preferred, (forRows - layout.gap - layout.totalsHeight) / RowsPerPage);
    if (layout.rowHeight < least) {
        layout.rowHeight = std::min(preferred, forRows / RowsPerPage);
    }
    const int lastRows = rows - (layout.tablePages - 1) * RowsPerPage;
    layout.totalsApart = lastRows * layout.rowHeight + layout.gap + layout.totalsHeight > forRows;

    const double shares = std::accumulate(std::begin(ColumnShares), std::end(ColumnShares), 0.0);
    layout.columnLeft.push_back(0);
    for (const double share : ColumnShares) {
        layout.columnLeft.push_back(layout.columnLeft.back() + layout.width * share / shares);
    }

    QPen grid(Qt::black);
    grid.setWidthF(std::max(1.0, device.logicalDpiX() / 200.0));
    const double pad = cell.averageCharWidth() * 0.5;
    const std::vector<FormColumn>& columns = NetworkFormColumns();

    for (int page = 0; page < layout.pages(); ++page) {
        if (page > 0) {
            device.newPage();
        }
        // The title block.
        double y = 0;
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, y, layout.width, title.height()), Qt::AlignLeft,
                         Utf8(titleLines.at(0)));
        y += title.height();
        painter.setFont(textFont);
        painter.drawText(QRectF(0, y, layout.width, text.height()), Qt::AlignLeft,
                         QStringLiteral("Дата: ") + date.toString(QStringLiteral("dd.MM.yyyy")));
        painter.drawText(QRectF(0, y, layout.width, text.height()), Qt::AlignRight,
                         QStringLiteral("Лист %1 из %2").arg(page + 1).arg(layout.pages()));
        y += text.height();
        painter.drawText(QRectF(0, y, layout.width, text.height()), Qt::AlignLeft,
                         Utf8(titleLines.at(1)));
        y = layout.titleHeight;

        const int first = page * RowsPerPage;
        const int last = std::min(rows, first + RowsPerPage);
        if (page < layout.tablePages && rows > 0) {
            painter.setFont(headingFont);
            painter.setPen(grid);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const QRectF box(layout.columnLeft[c], y,
                                 layout.columnLeft[c + 1] - layout.columnLeft[c],
                                 layout.headingHeight);
                painter.drawRect(box);
                painter.drawText(box.adjusted(pad, 0, -pad, 0), Qt::AlignCenter | Qt::TextWordWrap,
                                 Utf8(std::string(columns[c].heading)));
            }
            y += layout.headingHeight;
            for (int row = first; row < last; ++row) {
                const std::size_t i = static_cast<std::size_t>(row);
                const std::vector<QString> cells = SheetRowTexts(network, results, i, separator);
                const SectionResult& result = results.sections[i];
                painter.setFont(result.main ? boldCellFont : cellFont);
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const QRectF box(layout.columnLeft[c], y,
                                     layout.columnLeft[c + 1] - layout.columnLeft[c],
                                     layout.rowHeight);
                    if (result.flagged && static_cast<int>(c) == ImbalanceColumn) {
                        painter.fillRect(box, FlaggedColour());
                    }
                    painter.drawRect(box);
                    painter.drawText(box.adjusted(pad, 0, -pad, 0),
                                     (columns[c].numeric ? Qt::AlignRight : Qt::AlignLeft) |
                                         Qt::AlignVCenter,
                                     cells[c]);
                }
                y += layout.rowHeight;
            }
        }
        // The totals: below the last rows, or alone on the page after them.
        const bool totalsHere =
            layout.totalsApart ? page == layout.pages() - 1 : page == layout.tablePages - 1;
        if (totalsHere) {
            y += layout.gap;
            painter.setFont(textFont);
            painter.setPen(Qt::black);
            for (const std::string& line : totals) {
                const QRectF box(0, y, layout.width, layout.height - y);
                QRectF used;
                painter.drawText(box, Qt::AlignLeft | Qt::TextWordWrap, Utf8(line), &used);
                y += used.height();
            }
        }
    }
    return layout.pages();
}

} // namespace kalvor
