// The network window's clipboard: rows or cells copied as tab-separated text that pastes into a
// spreadsheet as cells, and rows pasted from a spreadsheet or from Kalvor as one edit.
#include "network/NetworkForm.h"

#include "network/NetworkFile.h"
#include "network/NetworkPaste.h"
#include "network/NetworkSheet.h"
#include "network/NetworkTable.h"
#include "ui_NetworkForm.h"
#include "widgets/Messages.h"
#include "widgets/Utf8.h"

#include <QApplication>
#include <QClipboard>
#include <QDataStream>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>

#include <set>
#include <utility>

namespace kalvor {

namespace {

// The sections themselves, exactly (fittings, own flows and all), for a paste into Kalvor.
const QString SectionsMime = QStringLiteral("application/x-kalvor-sections");

QString CellText(const QString& text) {
    QString cell = text;
    cell.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return cell;
}

} // namespace

void TNetworkForm::selectAllCells() {
    m_ui->SectionsTv->selectAll();
}

void TNetworkForm::copyCells() {
    Guarded(this, [this] {
        const QItemSelectionModel* selection = m_ui->SectionsTv->selectionModel();
        QModelIndexList indexes =
            selection != nullptr ? selection->selectedIndexes() : QModelIndexList{};
        if (indexes.isEmpty() && m_ui->SectionsTv->currentIndex().isValid()) {
            indexes << m_ui->SectionsTv->currentIndex();
        }
        if (indexes.isEmpty()) {
            return;
        }
        std::set<int> rows, columns;
        for (const QModelIndex& index : indexes) {
            rows.insert(index.row());
            columns.insert(index.column());
        }
        QStringList lines;
        QStringList headings;
        for (const int column : columns) {
            headings << CellText(
                m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        }
        lines << headings.join(QLatin1Char('\t'));
        for (const int row : rows) {
            QStringList cells;
            for (const int column : columns) {
                const QModelIndex index = m_model->index(row, column);
                cells << (selection == nullptr || indexes.contains(index)
                              ? CellText(index.data(Qt::DisplayRole).toString())
                              : QString());
            }
            lines << cells.join(QLatin1Char('\t'));
        }
        auto* data = new QMimeData;
        data->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        // Whole rows go along as sections too, so that a paste into Kalvor loses nothing.
        // Each as a network of its own (a root), its parent kept beside it.
        const std::vector<std::size_t> whole = selectedSections();
        if (!whole.empty()) {
            QByteArray bytes;
            QDataStream stream(&bytes, QIODevice::WriteOnly);
            try {
                for (const std::size_t row : whole) {
                    Network alone;
                    alone.sections.push_back(m_network.sections[row]);
                    alone.sections.back().parent.clear();
                    stream << Utf8(m_network.sections[row].parent)
                           << QByteArray::fromStdString(NetworkFileText(alone));
                }
                data->setData(SectionsMime, bytes);
            } catch (const std::exception&) {
                // Text that is not UTF-8 in an id: the rows go as text alone.
            }
        }
        QApplication::clipboard()->setMimeData(data);
        m_status->setText(QStringLiteral("Скопировано строк: %1").arg(rows.size()));
    });
}

void TNetworkForm::pasteCells() {
    Guarded(this, [this] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data == nullptr) {
            return;
        }
        const QString text = data->text();
        const char separator = SystemDecimalSeparator();
        std::vector<NetworkSection> sections;
        if (data->hasFormat(SectionsMime)) {
            QDataStream stream(data->data(SectionsMime));
            try {
                while (!stream.atEnd()) {
                    QString parent;
                    QByteArray alone;
                    stream >> parent >> alone;
                    if (stream.status() != QDataStream::Ok) {
                        throw Error("повреждённые данные");
                    }
                    sections.push_back(ParseNetworkText(alone.toStdString()).sections.at(0));
                    sections.back().parent = Utf8(parent);
                }
            } catch (const std::exception&) {
                sections.clear(); // taken from the text instead
            }
        }
        const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
        const bool rows =
            !sections.empty() ||
            firstLine.startsWith(Utf8(std::string(NetworkFormColumns()[0].heading))) ||
            firstLine.count(QLatin1Char('\t')) + 1 >= InputColumns;
        if (!rows) {
            // Cells: placed from the current cell on, as in a spreadsheet.
            const QModelIndex current = m_ui->SectionsTv->currentIndex();
            if (!current.isValid()) {
                throw Error("Выберите ячейку, с которой вставить");
            }
            // Each cell's change is carried out at once, as the next cell may read it (a shape
            // before its material), and the whole is taken back to become one undo step.
            NetworkChange whole;
            const auto takeBack = [&] { Revert(m_network, whole); };
            QStringList lines = text.split(QLatin1Char('\n'));
            while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) {
                lines.removeLast();
            }
            try {
                for (int r = 0; r < lines.size(); ++r) {
                    const QStringList cells = lines[r].split(QLatin1Char('\t'));
                    for (int c = 0; c < cells.size(); ++c) {
                        const int row = current.row() + r, column = current.column() + c;
                        if (row >= m_model->rowCount() || column >= m_model->columnCount() ||
                            !(m_model->flags(m_model->index(row, column)) & Qt::ItemIsEditable)) {
                            continue;
                        }
                        QString cell = cells[c].trimmed();
                        // Shapes and materials by the names their lists show.
                        if (column == ShapeColumn || column == MaterialColumn) {
                            const std::optional<DuctShape> shape =
                                column == ShapeColumn
                                    ? ShapeFromText(Utf8(cell))
                                    : std::optional(m_network.sections[row].shape);
                            const std::optional<int> material =
                                shape && column == MaterialColumn
                                    ? MaterialFromText(*shape, Utf8(cell))
                                    : std::optional<int>(0);
                            if (!shape || !material) {
                                throw Error(
                                    Utf8(QStringLiteral("Строка %1, столбец «%2»: «%3» — "
                                                        "не %4")
                                             .arg(r + 1)
                                             .arg(m_model
                                                      ->headerData(column, Qt::Horizontal,
                                                                   Qt::DisplayRole)
                                                      .toString(),
                                                  cell,
                                                  column == ShapeColumn
                                                      ? QStringLiteral("форма воздуховода")
                                                      : QStringLiteral("материал этой формы"))));
                            }
                            cell = QString::number(column == ShapeColumn ? static_cast<int>(*shape)
                                                                         : *material);
                        }
                        QString what;
                        const NetworkChange change = cellChange(row, column, cell, what);
                        Apply(m_network, change);
                        Merge(whole, change);
                    }
                }
            } catch (...) {
                takeBack();
                throw;
            }
            takeBack();
            edit(std::move(whole), QStringLiteral("Вставка в ячейки"));
            return;
        }
        if (sections.empty()) {
            sections = SectionsFromRows(Utf8(text), separator);
        }
        // Ids already taken get new numbers; their branches among the pasted follow them.
        const std::size_t count = sections.size();
        NetworkChange change = PasteSections(m_network, std::move(sections), currentIndex());
        const auto place = static_cast<int>(change.place);
        edit(std::move(change), QStringLiteral("Вставка участков: %1").arg(count));
        selectSection(place);
    });
}

} // namespace kalvor
