// The network window "Расчёт сети": the sections' table in the Russian form, edited in place and
// recomputed at every edit, with its file, undo and redo, exports and print.
#pragma once

#include "common/OwnFiles.h"
#include "fittings/FittingsPicker.h"
#include "hydraulics/Formulas.h"
#include "network/Network.h"
#include "network/NetworkEdits.h"
#include "settings/SettingsStore.h"
#include "widgets/KeyFilter.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QUndoStack;

namespace Ui {
class TNetworkForm;
}

namespace kalvor {

class CalculatorSource;
class NetworkSheetDelegate;
class NetworkProblemsModel;
class NetworkSheetModel;

namespace test {
struct FormAccess;
}

// The window's own key of the settings: the recent files.
inline constexpr std::string_view NetworkSettingsKey = "\\software\\kelmorta\\network\\";
inline constexpr int RecentFileCount = 8;
// Sections each list under the table names; the panel "Проблемы" and the reports name all.
inline constexpr std::size_t TotalsNamed = 3;

// A question for a file's path as the window asks it: the caption, the path proposed (a folder to
// open from, or the file to save as), the filter, and whether the file is to be written. The
// answer is the path chosen, or "" when the user cancels.
struct FileQuestion {
    QString caption;
    QString proposal;
    QString filter;
    bool save = false;
};
using FileAsker = std::function<QString(const FileQuestion&)>;

// A problem of the network as the window says it: a field by the table's heading or the box's
// label ("Участок «2», столбец «l, м»: …"), not by its key in the file; a sentence of its own
// begins with a capital letter.
QString WindowText(const NetworkError& error, bool sentence = true);

// The fields of the network itself that the window's boxes edit.
enum class NetworkField { Name, Temperature, Pressure, Vmax, Tolerance, Reserve };

class TNetworkForm : public QMainWindow {
    Q_OBJECT

public:
    // calculator: where "Из калькулятора" takes its section (nullptr: the items are disabled).
    explicit TNetworkForm(CalculatorSource* calculator, QWidget* parent = nullptr);
    ~TNetworkForm() override;

    const Network& network() const { return m_network; }
    // The results of the network shown; nullptr when it cannot be computed (problem() says why).
    const NetworkResults* results() const { return m_results ? &*m_results : nullptr; }
    const QString& problem() const { return m_problem; }
    const QString& filePath() const { return m_path; }
    bool modified() const;
    QUndoStack* undoStack() const { return m_undo; }

    // Replaces the network as one edit that undo takes back; the table, totals and status line
    // follow. An edit that changes nothing is not kept; edits in a row with the same mergeId
    // (0 and above: one box typed into) are one step.
    void edit(const Network& changed, const QString& what, int mergeId = -1);
    // The same for a change that the network core's edits found.
    void edit(NetworkChange change, const QString& what, int mergeId = -1);

    // One input cell as its editor hands it on: the text, or the item's data for a list. A text
    // that is no number changes nothing and says why in the status line.
    void commitCell(int row, int column, const QString& text);

    // The file steps, each under the handler guard, with the path given; false when refused
    // (the message shown) or not done. Nothing of a refused file is taken.
    bool openFile(const QString& path);
    bool saveFile(const QString& path);
    bool exportCsv(const QString& path);
    bool exportXlsx(const QString& path);
    bool exportPdf(const QString& path);
    QStringList recentFiles() const;
    // Who answers the window's questions for paths: the standard file dialogs over this window
    // unless another asker is set (an empty one restores the dialogs).
    void setFileAsker(FileAsker asker);

    // Menu handlers, named by their items; each runs under the handler guard.
    void NewMiClick();
    void OpenMiClick();
    bool SaveMiClick();
    bool SaveAsMiClick();
    void ExportCsvMiClick();
    void ExportXlsxMiClick();
    void ExportPdfMiClick();
    void PrintMiClick();
    void AddMiClick();    // a new section at the end, hanging from the current one
    void InsertMiClick(); // a new section above the current one, hanging from its parent
    void DeleteMiClick(); // the selected sections (or the current one); their sections move up
    void UpMiClick();
    void DownMiClick();
    void AutoSizeMiClick(); // catalogue sizes for the selected rows, or every "auto" section
    // "Подбор КМС…": the current section's fittings in the dialog; OK puts the list in as one
    // edit.
    void KmsMiClick();
    // Who shows the dialog "Подбор КМС" (nullptr: the item is disabled).
    void setFittingsPicker(FittingsPicker* picker);
    void fromCalculator(DuctShape shape);
    // Sets the network's air to the calculator's (the settings window's temperature and
    // pressure) as one edit; nothing when the calculator has no air state to give.
    void takeCalculatorAir();

    // The rows wholly selected (by their numbers), in order.
    std::vector<std::size_t> selectedSections() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct test::FormAccess;
    friend class NetworkEdit;
    Ui::TNetworkForm* ui() const { return m_ui.get(); }

    void setUpTable();
    void setUpBoxes();
    void setUpMenus();
    // Recomputes the network whenever a catalogue file of the working folder changes.
    void watchCatalogues();
    // The columns at their widths, sharing a wider view's spare width.
    void fitColumns();
    // The window's size, place and column widths, as the user left them.
    void restoreLayout();
    void keepLayout();

    // What an undo step sets, and everything shown after it.
    void setNetwork(const Network& network);
    void changeNetwork(const NetworkChange& change, bool forward);
    void refresh();
    void markProblem(const NetworkError& error, int& row, int& column);
    void showBoxes();
    void showTitle();
    void boxEdited(NetworkField field);
    QLineEdit* box(NetworkField field) const;

    // What one cell's text, as typed, changes in the network; what is called is set to the edit's
    // name ("" for no edit). Throws Error for a number that cannot be read.
    NetworkChange cellChange(int row, int column, const QString& text, QString& what) const;
    // The clipboard: the selected rows (or cells) as shown, and rows pasted as new sections or
    // into the cells from the current one on, as one edit.
    void copyCells();
    void pasteCells();
    void selectAllCells();

    // A new network: empty, with the calculator's air when it has one.
    Network freshNetwork() const;
    std::optional<AirState> calculatorAir() const;
    // The network's results when it is computed, otherwise those of its last computed state.
    void showTable(int problemRow, int problemColumn);
    QStringList totalsLines() const;
    // Selects the section a row of the panel "Проблемы" names.
    void problemChosen(const QModelIndex& index);

    int currentSection() const;
    // The current section as the network core's edits take it: NoSection for none.
    std::size_t currentIndex() const;
    void selectSection(int row);

    // Files.
    bool maySpoil(); // false: the user keeps the changes unsaved and the step does not happen
    // Before a save over the open file: true to write; a file that another program changed since
    // it was read asks first, and may be opened again instead.
    bool mayOverwrite(const QString& path);
    void takeFile(const Network& network, const QString& path);
    void rememberFile(const QString& path);
    void forgetFile(const QString& path);
    void writeRecentFiles(const QStringList& files);
    void showRecentFiles();
    QString askPath(const QString& caption, const QString& filter, const QString& suffix);
    void exportAsked(const QString& kind, const QString& filter, const QString& suffix,
                     bool (TNetworkForm::*write)(const QString&));
    QString folderForDialogs() const;
    void rememberFolder(const QString& path); // of a file the user chose
    QString ask(const FileQuestion& question);
    // The network computed afresh, the catalogues read as they are now; throws Error when it
    // cannot be computed.
    const NetworkResults& computedResults();

    std::unique_ptr<Ui::TNetworkForm> m_ui;
    CalculatorSource* m_calculator;
    Network m_network;
    std::optional<NetworkResults> m_results;
    // The last state of the network that could be computed, shown greyed while it cannot be.
    std::optional<Network> m_lastNetwork;
    std::optional<NetworkResults> m_lastResults;
    QString m_problem;
    QString m_notice;                // shown in the status line while there is no problem
    std::optional<AirState> m_offer; // the calculator's air offered by the status line's button
    std::map<NetworkField, QString> m_boxProblems; // texts in the boxes that are no number
    QString m_path;
    std::optional<FileStamp> m_stamp; // the file as it was read or written; nullopt: none
    QUndoStack* m_undo;
    NetworkSheetModel* m_model;
    NetworkProblemsModel* m_problems;
    NetworkSheetDelegate* m_delegate;
    QLabel* m_status;
    QLabel* m_density;
    std::vector<int> m_columnWidths; // each column's own width, before the view's spare is shared
    bool m_fittingColumns = false;   // the air's density, beside its state above the table
    QPushButton* m_takeAir; // "Взять воздух калькулятора" in the status line, while offered
    KeyFilter m_keys; // the numeric filter for keys that start an edit of a numeric cell
    mutable SettingsStore m_settings;
    FileAsker m_askFile;
    FittingsPicker* m_fittingsPicker = nullptr;
};

} // namespace kalvor
