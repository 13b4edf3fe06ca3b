// The catalogue editor: loads a shape's catalogue into the grid, keeps each row's area current,
// sorts, inserts, deletes and saves rows, and on closing rebuilds the main window's size lists.
#include "catalogues/DuctSizes.h"

#include "ui_DuctSizes.h"

#include "catalogues/CatalogueFile.h"
#include "common/Checked.h"
#include "common/Errors.h"
#include "common/NumberText.h"
#include "hydraulics/Sections.h"
#include "hydraulics/SizeText.h"
#include "mainwindow/CalculatorWindow.h"
#include "settings/SettingsStore.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"
#include "widgets/Utf8.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QStyledItemDelegate>

#include <functional>

namespace kalvor {

namespace {

constexpr int NumberColumn = 0;
constexpr int AColumn = 1;
constexpr int BColumn = 2;
constexpr int AreaColumn = 3;
constexpr int ColumnCount = 4;

QString NumberText(double value) {
    return Utf8(FormatNumber(value, SystemDecimalSeparator()));
}

// The area shown in the editor, in m2 from sizes in metres, as the size search reads a row: a
// flat-oval row's column "A" is the overall width and column "B" the height.
double EditorArea(DuctShape shape, double A, double B) {
    switch (shape) {
    case DuctShape::Rectangular:
        return Finite(A * B);
    case DuctShape::FlatOval:
        return Finite(FlatOvalArea(A, B));
    case DuctShape::Round:
        break;
    }
    return Finite(RoundArea(A));
}

QString AreaText(DuctShape shape, double A, double B) {
    return NumberText(Finite(RoundTo(EditorArea(shape, A, B), 3)));
}

// Where the rows stop ascending by area as the editor shows it (rounded to 0.001 m2): the size
// search walks a catalogue in file order and takes the first size large enough, so a larger row
// above a smaller one hides the smaller. Equal areas side by side are in order.
struct OrderBreak {
    int row = -1; // the first row smaller than the row above it; -1 none
    double area = 0.0, areaBefore = 0.0;
};
OrderBreak FirstRowOutOfOrder(DuctShape shape, const SizeCatalogue& entries) {
    double before = 0.0;
    for (std::size_t i = 0; i < entries.A.size(); ++i) {
        const double B = shape == DuctShape::Round ? 0.0 : entries.B[i];
        const double area = Finite(RoundTo(EditorArea(shape, entries.A[i], B), 3));
        if (i > 0 && area < before) {
            return {static_cast<int>(i), area, before};
        }
        before = area;
    }
    return {};
}

QString CellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item != nullptr ? item->text() : QString();
}

void SetCellText(QTableWidget* grid, int row, int column, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, column)) {
        item->setText(text);
        return;
    }
    auto* item = new QTableWidgetItem(text);
    if (column == NumberColumn) {
        // The fixed number column: shown like the caption, never edited or selected.
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(grid->palette().button());
    }
    grid->setItem(row, column, item);
}

// Cell editors: line edits behind the numeric key filter that hand every change made by typing
// straight to the window, so the grid holds the text as it is being typed.
class CellDelegate : public QStyledItemDelegate {
public:
    using Edited = std::function<void(int row, int column, const QString& text)>;
    CellDelegate(Edited edited, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_edited(std::move(edited)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        if (index.column() == NumberColumn) {
            return nullptr;
        }
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        InstallKeyFilter(editor);
        const QPersistentModelIndex cell(index);
        connect(editor, &QLineEdit::textEdited, editor, [this, cell](const QString& text) {
            if (cell.isValid()) {
                m_edited(cell.row(), cell.column(), text);
            }
        });
        return editor;
    }

    // Only a text that differs reaches an open editor, so typing keeps its cursor position; the
    // area written back into an edited area cell does differ and shows at once.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text) {
            line->setText(text);
        }
    }

    // Every change has already reached the cell as it was typed.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

private:
    Edited m_edited;
};

} // namespace

TDuctSizesForm::TDuctSizesForm(std::shared_ptr<SettingsStore> store, CalculatorWindow* main,
                               QWidget* owner)
    : CalculatorDialog(Qt::Dialog, QSize(395, 339), std::move(store), main, owner)
    , m_ui(std::make_unique<Ui::TDuctSizesForm>()) {
    m_ui->setupUi(this);

    QTableWidget* grid = m_ui->DuctSizesSg;
    const int widths[ColumnCount] = {35, 69, 65, 90};
    for (int column = 0; column < ColumnCount; ++column) {
        grid->setColumnWidth(column, widths[column]);
    }
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(22);
    grid->setItemDelegate(new CellDelegate(
        [this](int row, int column, const QString& text) { CellEdited(row, column, text); }, grid));
    InstallKeyFilter(grid); // a typed character that starts an edit passes the filter first
    ResetGrid();

    connect(m_ui->DuctSelectionRg, &RadioGroup::clicked, this,
            &TDuctSizesForm::DuctSelectionRgClick);
    connect(m_ui->SortBtn, &QPushButton::clicked, this, &TDuctSizesForm::SortBtnClick);
    connect(m_ui->AddBtn, &QPushButton::clicked, this, &TDuctSizesForm::AddBtnClick);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &TDuctSizesForm::BitBtn1Click);
    connect(m_ui->SaveBtn, &QPushButton::clicked, this, &TDuctSizesForm::SaveBtnClick);
    connect(m_ui->CloseBtn, &QPushButton::clicked, this, &TDuctSizesForm::CloseBtnClick);

    FormCreate();
}

TDuctSizesForm::~TDuctSizesForm() {
    // Signals the children send as they go (after this window's members) reach nothing of it.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

void TDuctSizesForm::FormCreate() {}

void TDuctSizesForm::DuctSelectionRgClick() {
    Guarded(this, [this] {
        RadioGroup* shapes = m_ui->DuctSelectionRg;
        const int picked = shapes->itemIndex();
        if (picked < 0 || picked == m_shownShape) {
            return;
        }
        if (!MayLeaveCatalogue()) {
            shapes->setItemIndex(m_shownShape);
            return;
        }
        const auto shape = static_cast<DuctShape>(picked);
        SizeCatalogue catalogue;
        try {
            catalogue = ReadSizeCatalogue(shape);
        } catch (const std::exception&) {
            // The grid keeps its rows, so the choice goes back to the shape they belong to.
            shapes->setItemIndex(m_shownShape);
            throw;
        }
        QTableWidget* grid = m_ui->DuctSizesSg;
        grid->setRowCount(0);
        m_shownShape = picked;
        m_modified = false;
        const bool millimetres = store().ReadInteger("mm") != 0;
        const char separator = SystemDecimalSeparator();
        for (std::size_t i = 0; i < catalogue.A.size(); ++i) {
            const int row = static_cast<int>(i);
            const double A = catalogue.A[i];
            const double B = shape == DuctShape::Round ? 0.0 : catalogue.B[i];
            grid->setRowCount(row + 1);
            SetCellText(grid, row, NumberColumn, NumberText(row + 1));
            SetCellText(grid, row, AColumn, Utf8(SizeNumberText(A, millimetres, separator)));
            SetCellText(grid, row, BColumn,
                        shape == DuctShape::Round
                            ? QString()
                            : Utf8(SizeNumberText(B, millimetres, separator)));
            SetCellText(grid, row, AreaColumn, AreaText(shape, A, B));
        }
        if (grid->rowCount() > 0) {
            grid->setCurrentCell(0, AColumn);
        }
    });
}

void TDuctSizesForm::DuctSizesSgSetEditText() {
    Guarded(this, [this] {
        QTableWidget* grid = m_ui->DuctSizesSg;
        const int row = grid->currentRow();
        if (row < 0) {
            return;
        }
        // A cell that is empty or holds the single blank of a new row counts as 0.
        auto metres = [this](const QString& text) {
            if (text.isEmpty() || text == QStringLiteral(" ")) {
                return 0.0;
            }
            const double value = ParseNumber(Utf8(text), SystemDecimalSeparator());
            return SizeInMetres(value, store().ReadInteger("mm") != 0);
        };
        const double A = metres(CellText(grid, row, AColumn));
        const double B = metres(CellText(grid, row, BColumn));
        const int shape = m_ui->DuctSelectionRg->itemIndex();
        if (shape < 0) {
            return;
        }
        SetCellText(grid, row, AreaColumn, AreaText(static_cast<DuctShape>(shape), A, B));
    });
}

void TDuctSizesForm::SortBtnClick() {
    Guarded(this, [this] { SortRows(); });
}

bool TDuctSizesForm::SortRows() {
    QTableWidget* grid = m_ui->DuctSizesSg;
    const int n = grid->rowCount();
    const char separator = SystemDecimalSeparator();
    auto area = [&](int row) {
        return ParseNumber(Utf8(CellText(grid, row, AreaColumn)), separator);
    };
    bool moved = false;
    // The first pass reads every area before anything moves, so a bad area changes nothing.
    for (int i = 0; i < n; ++i) {
        int m = i;
        for (int j = i; j < n; ++j) {
            if (area(j) < area(m)) {
                m = j;
            }
        }
        if (m != i) {
            for (int column = 0; column < ColumnCount; ++column) {
                const QString text = CellText(grid, i, column);
                SetCellText(grid, i, column, CellText(grid, m, column));
                SetCellText(grid, m, column, text);
            }
            moved = true;
        }
        SetCellText(grid, i, NumberColumn, NumberText(i + 1));
    }
    m_modified = m_modified || moved;
    return moved;
}

void TDuctSizesForm::AddBtnClick() {
    Guarded(this, [this] {
        QTableWidget* grid = m_ui->DuctSizesSg;
        const int current = grid->currentRow();
        // Without data rows there is no current row: the new row goes below the caption.
        InsertRow(grid, current < 0 ? grid->rowCount() : current);
    });
}

void TDuctSizesForm::BitBtn1Click() {
    Guarded(this, [this] { DeleteRow(m_ui->DuctSizesSg, m_ui->DuctSizesSg->currentRow()); });
}

void TDuctSizesForm::InsertRow(QTableWidget* grid, int index) {
    if (index < 0 || index > grid->rowCount()) {
        MessageBeep();
        return;
    }
    // The row that was current moves down with its texts and stays current.
    grid->insertRow(index);
    for (int column = 0; column < ColumnCount; ++column) {
        SetCellText(grid, index, column, QStringLiteral(" "));
    }
    if (grid->currentRow() < 0) {
        grid->setCurrentCell(index, AColumn);
    }
    m_modified = true;
}

void TDuctSizesForm::DeleteRow(QTableWidget* grid, int index) {
    if (index < 0 || index >= grid->rowCount()) {
        MessageBeep();
        return;
    }
    grid->removeRow(index);
    m_modified = true;
}

void TDuctSizesForm::SaveBtnClick() {
    Guarded(this, [this] { SaveCatalogue(); });
}

SizeCatalogue TDuctSizesForm::GridEntries(DuctShape shape) const {
    const QTableWidget* grid = m_ui->DuctSizesSg;
    const bool millimetres = store().ReadInteger("mm") != 0;
    const char separator = SystemDecimalSeparator();
    auto metres = [&](int row, int column) {
        const QString text = CellText(grid, row, column);
        const double value = ParseNumber(Utf8(text), separator);
        const auto refuse = [&](const char* what) {
            throw Error(Utf8(QStringLiteral("%1 в строке %2, столбце \"%3\": %4. Каталог не "
                                            "сохранён")
                                 .arg(QString::fromUtf8(what))
                                 .arg(row + 1)
                                 .arg(column == AColumn ? "A" : "B", text.trimmed())));
        };
        if (value < 0.0) {
            // The file could not be read back: a negative B would run into the A before it.
            refuse("Отрицательный размер");
        }
        // No duct has a side of 0: no air passes through it.
        if (value == 0.0) {
            refuse("Нулевой размер");
        }
        const double size = SizeInMetres(value, millimetres);
        if (RoundTo(size, 3) == 0.0) {
            refuse("Размер меньше 1 мм"); // the file holds whole millimetres: it would be 0
        }
        return size;
    };
    SizeCatalogue entries;
    for (int row = 0; row < grid->rowCount(); ++row) {
        entries.A.push_back(metres(row, AColumn));
        if (shape != DuctShape::Round) {
            entries.B.push_back(metres(row, BColumn));
        }
    }
    return entries;
}

void TDuctSizesForm::ShowAreas(DuctShape shape, const SizeCatalogue& entries) {
    for (std::size_t i = 0; i < entries.A.size(); ++i) {
        const double B = shape == DuctShape::Round ? 0.0 : entries.B[i];
        SetCellText(m_ui->DuctSizesSg, static_cast<int>(i), AreaColumn,
                    AreaText(shape, entries.A[i], B));
    }
}

bool TDuctSizesForm::SaveCatalogue() {
    if (m_shownShape < 0) {
        MessageBeep(); // no shape, no file to write
        return false;
    }
    const auto shape = static_cast<DuctShape>(m_shownShape);
    // Every row is converted and checked before the file is touched, so a bad cell leaves the
    // file as it was.
    SizeCatalogue entries = GridEntries(shape);
    if (const OrderBreak order = FirstRowOutOfOrder(shape, entries); order.row > 0) {
        const QString text =
            QStringLiteral("Строки каталога «%1» не упорядочены по возрастанию площади: "
                           "строка %2 (F = %3 м²) меньше строки %4 (F = %5 м²).\n\nПодбор "
                           "размера просматривает каталог по порядку и берёт первый "
                           "достаточный размер. Отсортировать строки перед сохранением?")
                .arg(Utf8(CatalogueFileName(shape)))
                .arg(order.row + 1)
                .arg(NumberText(order.area))
                .arg(order.row)
                .arg(NumberText(order.areaBefore));
        switch (Ask(this, windowTitle(), text,
                    {QStringLiteral("Сортировать и сохранить"),
                     QStringLiteral("Сохранить как есть"), QStringLiteral("Отмена")})) {
        case 0:
            ShowAreas(shape, entries); // the sort reads the area column
            SortRows();
            entries = GridEntries(shape);
            break;
        case 1:
            break;
        default:
            return false;
        }
    }
    WriteSizeCatalogue(shape, entries);
    m_modified = false;
    return true;
}

bool TDuctSizesForm::MayLeaveCatalogue() {
    if (m_shownShape < 0 || !m_modified) {
        return true;
    }
    const QString name = Utf8(CatalogueFileName(static_cast<DuctShape>(m_shownShape)));
    switch (AskToSave(this, windowTitle(),
                      QStringLiteral("Сохранить изменения в каталоге «%1»?").arg(name))) {
    case SaveAnswer::Save: {
        bool saved = false;
        Guarded(this, [this, &saved] { saved = SaveCatalogue(); });
        return saved;
    }
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

void TDuctSizesForm::CloseBtnClick() {
    close();
}

bool TDuctSizesForm::FormClose() {
    if (!MayLeaveCatalogue()) {
        return false;
    }
    bool reloaded = false;
    Guarded(this, [this, &reloaded] {
        m_ui->DuctSelectionRg->setItemIndex(-1);
        m_shownShape = -1;
        m_modified = false;
        ResetGrid();
        reloaded = calculator().reloadSizeLists();
    });
    return reloaded;
}

void TDuctSizesForm::CellEdited(int row, int column, const QString& text) {
    SetCellText(m_ui->DuctSizesSg, row, column, text);
    m_modified = true;
    // Recomputed once the editor's own handling of the change is over: a message box raised by
    // the recomputation may close that very editor.
    QMetaObject::invokeMethod(this, &TDuctSizesForm::DuctSizesSgSetEditText, Qt::QueuedConnection);
}

// The first state: the caption row and one empty data row.
void TDuctSizesForm::ResetGrid() {
    QTableWidget* grid = m_ui->DuctSizesSg;
    grid->setRowCount(0);
    grid->setRowCount(1);
    for (int column = 0; column < ColumnCount; ++column) {
        SetCellText(grid, 0, column, QString());
    }
    grid->setCurrentCell(0, AColumn);
}

} // namespace kalvor
