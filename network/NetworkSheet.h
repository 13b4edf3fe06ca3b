// The network window's table: the sections in the Russian form with the marks of the main path,
// the flagged imbalances and the cell a problem is in, and the editors of the input cells.
#pragma once

#include "network/Network.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <QStyledItemDelegate>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QComboBox;

namespace kalvor {

// The columns of NetworkFormColumns: the inputs, then the computed figures.
enum NetworkColumn : int {
    IdColumn,
    ParentColumn,
    ShapeColumn,
    SizeColumn,
    MaterialColumn,
    FlowColumn,
    LengthColumn,
    KmsColumn,
    FirstResultColumn,
    VelocityColumn = 10,
    ImbalanceColumn = 17,
    VmaxColumn = 18, // the window's own: a section's Vmax, empty for the network's
    SheetColumns
};
inline constexpr int InputColumns = FirstResultColumn;

// The background of a flagged imbalance and of the cell a problem is in.
QColor FlaggedColour();
QColor ProblemColour();

// The size text as the window shows and takes it: "." of the file as the system's separator.
QString ShownSizeText(const std::string& size, char decimalSeparator);
std::string TypedSizeText(const QString& text);

// The texts of a computed section's cells as the window and the printed table show them: the
// core's form row, the size with the system's separator and the mark after a catalogue's size.
std::vector<QString> SheetRowTexts(const Network& network, const NetworkResults& results,
                                   std::size_t section, char decimalSeparator,
                                   const QString& catalogueMark = QStringLiteral(" (auto)"));

// The cells of a network, with its results or without them. A row's texts are made when a view
// first asks for them, so a refresh costs the rows on the screen only.
class NetworkSheetModel : public QAbstractTableModel {
public:
    explicit NetworkSheetModel(QObject* parent = nullptr);

    // Shows the network and its results (nullptr: none, the computed cells stay empty), with a
    // problem in one cell (row -1: none). Results of another state of the network (resultsOf,
    // when not the network itself) are stale: their figures show greyed in the rows of the same
    // ids. All are kept by pointer and must outlive the showing.
    void show(const Network* network, const NetworkResults* results, int problemRow,
              int problemColumn, const QString& problem, const Network* resultsOf = nullptr);
    bool stale() const { return m_resultsOf != nullptr; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const std::vector<QString>& texts(int row) const;
    // The results of a row's section: its own, or those of the same id in the stale state.
    const SectionResult* resultOf(int row) const;

    const Network* m_network = nullptr;
    const NetworkResults* m_results = nullptr;
    const Network* m_resultsOf = nullptr;          // set while the results are stale
    std::map<std::string, std::size_t> m_staleRow; // id → its row in the stale state
    int m_rows = 0;
    int m_problemRow = -1;
    int m_problemColumn = -1;
    QString m_problem;
    char m_separator = '.';
    mutable std::vector<std::vector<QString>> m_texts; // per row; empty until asked for
};

// The editors of the input cells: a line for the id, lists for the parent (the ids present and
// none for the root), the shape and the material (of the row's shape), an editable list for the
// size ("auto" and the shape's catalogue), numeric lines for the flow, length and Σζ. What the
// user leaves in an editor goes to commit, never into the model: the window makes the edit.
class NetworkSheetDelegate : public QStyledItemDelegate {
public:
    using Commit = std::function<void(int row, int column, const QString& text)>;
    NetworkSheetDelegate(const Network& network, Commit commit, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    // A list whose pick is an edit at once: it is handed on and the editor closes.
    QComboBox* pickList(QWidget* parent) const;
    void picked();

    const Network& m_network;
    Commit m_commit;
};

} // namespace kalvor
