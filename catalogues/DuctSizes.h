// The catalogue editor: view, sort, extend and save the standard sizes of one duct shape.
#pragma once

#include "catalogues/CatalogueFile.h"
#include "mainwindow/CalculatorDialog.h"

#include <memory>

class QTableWidget;

namespace Ui {
class TDuctSizesForm;
}

namespace kalvor {

namespace test {
struct FormAccess;
}

// The grid DuctSizesSg: its caption row is the table's horizontal header, so table row 0 is the
// first data row ("row 1" of the numbered list) and row indexes below count data rows only.
// Column 0 holds the row numbers and cannot be edited.
class TDuctSizesForm : public CalculatorDialog {
    Q_OBJECT

public:
    // The store is the accessor the windows share; main is the calculator window whose lists the
    // close rebuilds; owner the window it opens over.
    TDuctSizesForm(std::shared_ptr<SettingsStore> store, CalculatorWindow* main, QWidget* owner);
    ~TDuctSizesForm() override;

    // Handlers, named as the system names them. Each runs its body under the handler guard.
    void FormCreate();             // nothing to do
    void DuctSelectionRgClick();   // asks about unsaved rows, loads the picked shape's catalogue
    void SortBtnClick();           // selection sort by area, renumbering every row
    void AddBtnClick();            // a blank row above the current one
    void BitBtn1Click();           // deletes the current row
    void SaveBtnClick();           // writes the grid to the chosen shape's file
    void CloseBtnClick();          // closes the window
    bool FormClose();              // asks about unsaved rows; resets, rebuilds the main lists
    void DuctSizesSgSetEditText(); // recomputes the current row's area

    // Row operations; an index outside the grid beeps and changes nothing.
    void InsertRow(QTableWidget* grid, int index); // 0..rowCount; rowCount appends
    void DeleteRow(QTableWidget* grid, int index); // 0..rowCount-1

    // Whether rows were typed, added, deleted or moved since the catalogue was loaded or saved.
    bool modified() const { return m_modified; }

protected:
    bool closeRequested() override { return FormClose(); }

private:
    friend struct test::FormAccess;
    Ui::TDuctSizesForm* ui() const { return m_ui.get(); }

    void CellEdited(int row, int column, const QString& text);
    void ResetGrid();

    // The bodies of the sort and the save; they throw what they meet. The sort returns whether a
    // row moved, the save whether the file was written.
    bool SortRows();
    bool SaveCatalogue();
    SizeCatalogue GridEntries(DuctShape shape) const; // every row in metres, checked for writing
    void ShowAreas(DuctShape shape, const SizeCatalogue& entries);
    // With unsaved changes, asks whether to save them first; true when the catalogue shown may
    // be left (saved, or the changes given up).
    bool MayLeaveCatalogue();

    std::unique_ptr<Ui::TDuctSizesForm> m_ui;
    int m_shownShape = -1;   // the shape whose catalogue the grid holds; -1 none
    bool m_modified = false; // see modified()
};

} // namespace kalvor
