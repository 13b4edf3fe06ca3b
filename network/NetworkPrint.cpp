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
    double cellPoints = 7;          // the table's font, smaller where the widest texts need it
    int tablePages = 1;
    bool totalsApart = false;
    int pages() const { return tablePages + (totalsApart ? 1 : 0); }
};

// What marks a size chosen from a catalogue; the note under the table says so.
const QString CatalogueMark = QStringLiteral("¹");

// The width each column needs with the table's font at points: its widest cell (bold on the main
// path) and its heading's longest word (headings wrap at their blanks), with a half-character pad
// on either side.
std::vector<double> ColumnWidths(const QPaintDevice& device, const Network& network,
                                 const NetworkResults& results,
                                 const std::vector<std::vector<QString>>& cells, double points) {
    const QFontMetricsF plain(PrintFont(points), &device), bold(PrintFont(points, true), &device);
    const std::vector<FormColumn>& columns = NetworkFormColumns();
    std::vector<double> widths(columns.size(), 0.0);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (const QString& word :
             Utf8(std::string(columns[c].heading)).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            widths[c] = std::max(widths[c], bold.horizontalAdvance(word));
        }
    }
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        const QFontMetricsF& metrics = results.sections[i].main ? bold : plain;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(cells[i][c]));
        }
    }
    for (double& width : widths) {
        width += plain.averageCharWidth() * 1.2; // the pads and the grid's line
    }
    return widths;
}

// The table's font size: 7 points, or smaller until every column's widest text fits the width.
double FittingPoints(const QPaintDevice& device, const Network& network,
                     const NetworkResults& results, const std::vector<std::vector<QString>>& cells,
                     double width) {
    double points = 7;
    for (int attempt = 0; attempt < 20 && points > 2; ++attempt) {
        const std::vector<double> widths = ColumnWidths(device, network, results, cells, points);
        const double needed = std::accumulate(widths.begin(), widths.end(), 0.0);
        if (needed <= width) {
            break;
        }
        points = std::max(2.0, std::min(points - 0.1, points * width / needed));
    }
    return points;
}

} // namespace

QPageLayout NetworkPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int PaintNetworkPages(QPagedPaintDevice& device, const Network& network,
                      const NetworkResults& results, const QDate& date, char separator) {
    QPainter painter(&device);
    const QFont titleFont = PrintFont(11, true), textFont = PrintFont(8);
    const QFontMetricsF title(titleFont, &device), text(textFont, &device);
    const std::vector<FormColumn>& columns = NetworkFormColumns();
    const int rows = static_cast<int>(network.sections.size());
    std::vector<std::vector<QString>> cells;
    cells.reserve(network.sections.size());
    bool chosen = false;
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        cells.push_back(SheetRowTexts(network, results, i, separator, CatalogueMark));
        chosen = chosen || results.sections[i].automatic;
    }

    Layout layout;
    layout.width = device.width();
    layout.height = device.height();
    layout.cellPoints = FittingPoints(device, network, results, cells, layout.width);
    const QFont cellFont = PrintFont(layout.cellPoints),
                boldCellFont = PrintFont(layout.cellPoints, true),
                headingFont = PrintFont(layout.cellPoints, true);
    const QFontMetricsF cell(cellFont, &device), heading(headingFont, &device);
    const std::vector<double> widths =
        ColumnWidths(device, network, results, cells, layout.cellPoints);

    const std::vector<std::string> titleLines = NetworkTitleLines(network, results, separator);
    std::vector<std::string> totals = NetworkTotalsLines(network, results, separator);
    if (!network.sections.empty()) {
        totals.insert(totals.begin(),
                      "Жирным — участки главного направления; заливкой — невязка выше " +
                          FormatNumber(network.tolerance, separator) +
                          " % и скорость выше допустимой" +
                          (chosen ? "; " + Utf8(CatalogueMark) + " — размер подобран по каталогу"
                                  : std::string()));
    }
    layout.gap = text.height() * 0.6;
    layout.titleHeight = title.height() + 2 * text.height() + layout.gap;
    layout.headingHeight = 2 * heading.height() + heading.height() * 0.4;
    for (const std::string& line : totals) {
        layout.totalsHeight +=
            text.boundingRect(QRectF(0, 0, layout.width, 1e6), Qt::TextWordWrap, Utf8(line))
                .height();
    }
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

    // The spare width, if any, shared out evenly: the table spans the page.
    const double used = std::accumulate(widths.begin(), widths.end(), 0.0);
    const double spare = std::max(0.0, layout.width - used) / static_cast<double>(widths.size());
    layout.columnLeft.push_back(0);
    for (const double width : widths) {
        layout.columnLeft.push_back(layout.columnLeft.back() + width + spare);
    }

    QPen grid(Qt::black);
    grid.setWidthF(std::max(1.0, device.logicalDpiX() / 200.0));
    const double pad = cell.averageCharWidth() * 0.5;

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
                const SectionResult& result = results.sections[i];
                painter.setFont(result.main ? boldCellFont : cellFont);
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const QRectF box(layout.columnLeft[c], y,
                                     layout.columnLeft[c + 1] - layout.columnLeft[c],
                                     layout.rowHeight);
                    if ((result.flagged && static_cast<int>(c) == ImbalanceColumn) ||
                        (result.overVmax && static_cast<int>(c) == VelocityColumn)) {
                        painter.fillRect(box, FlaggedColour());
                    }
                    painter.drawRect(box);
                    painter.drawText(box.adjusted(pad, 0, -pad, 0),
                                     (columns[c].numeric ? Qt::AlignRight : Qt::AlignLeft) |
                                         Qt::AlignVCenter,
                                     cells[i][c]);
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
