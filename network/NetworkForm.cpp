// The network window: its set-up, the undo steps, and the refresh after every edit: the network
// computed, the table's cells and marks, the boxes, the totals and the status line.
#include "network/NetworkForm.h"

#include "common/NumberText.h"
#include "hydraulics/AirRange.h"
#include "mainwindow/CalculatorSection.h"
#include "network/NetworkProblemsPanel.h"
#include "network/NetworkSheet.h"
#include "network/NetworkTable.h"
#include "network/NetworkWarnings.h"
#include "ui_NetworkForm.h"
#include "widgets/Messages.h"
#include "widgets/Utf8.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

namespace kalvor {

namespace {

// The undo steps kept for one network.
constexpr int UndoLimit = 200;

struct BoxField {
    NetworkField field;
    const char* name; // as the network's file and messages name it
};
constexpr BoxField BoxFields[] = {
    {NetworkField::Name, "name"},           {NetworkField::Temperature, "air.t"},
    {NetworkField::Pressure, "air.PBar"},   {NetworkField::Vmax, "Vmax"},
    {NetworkField::Tolerance, "tolerance"}, {NetworkField::Reserve, "reserve"},
};

template <typename Fields> // Network or NetworkFields, const or not
auto NumberOf(Fields& network, NetworkField field) -> decltype(&network.Vmax) {
    switch (field) {
    case NetworkField::Temperature:
        return &network.air.t;
    case NetworkField::Pressure:
        return &network.air.PBar;
    case NetworkField::Vmax:
        return &network.Vmax;
    case NetworkField::Tolerance:
        return &network.tolerance;
    case NetworkField::Reserve:
        return &network.reserve;
    case NetworkField::Name:
        break;
    }
    return nullptr;
}

// How the window names what the file calls by its key: the table's heading of a section's field,
// the label of a box of the network's own.
QString FieldHeading(const std::string& field, bool ofSection) {
    static const std::map<std::string, const char*> sections = {
        {"id", "№ уч."},          {"parent", "От уч."},  {"shape", "Форма"}, {"size", "Размер, мм"},
        {"material", "Материал"}, {"flow", "L, м³/ч"},   {"length", "l, м"}, {"kms", "Σζ"},
        {"fittings", "Σζ"},       {"Vmax", "Vmax, м/с"},
    };
    static const std::map<std::string, const char*> boxes = {
        {"name", "Название"},
        {"air", "t, °C"},
        {"air.t", "t, °C"},
        {"air.PBar", "PBar, гПа"},
        {"Vmax", "Vmax, м/с"},
        {"tolerance", "Допустимая невязка, %"},
        {"reserve", "Запас давления, %"},
    };
    const auto& names = ofSection ? sections : boxes;
    const auto found = names.find(field);
    return found != names.end() ? QString::fromUtf8(found->second) : Utf8(field);
}

QString Capitalised(QString text) {
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

} // namespace

QString WindowText(const NetworkError& error, bool sentence) {
    QString text = Utf8(std::string(error.what()));
    if (!error.field.empty()) {
        const bool ofSection =
            !error.sectionId.empty() || text.startsWith(QStringLiteral("участок"));
        text.replace(QStringLiteral("поле «%1»").arg(Utf8(error.field)),
                     (ofSection ? QStringLiteral("столбец «%1»") : QStringLiteral("поле «%1»"))
                         .arg(FieldHeading(error.field, ofSection)));
    }
    return sentence ? Capitalised(text) : text;
}

namespace {

int ColumnOfField(const std::string& field) {
    static const std::map<std::string, int> columns = {
        {"id", IdColumn},     {"parent", ParentColumn}, {"shape", ShapeColumn},
        {"size", SizeColumn}, {"Vmax", SizeColumn},     {"material", MaterialColumn},
        {"flow", FlowColumn}, {"length", LengthColumn}, {"kms", KmsColumn},
    };
    const auto found = columns.find(field);
    return found != columns.end() ? found->second : IdColumn;
}

} // namespace

// One undo step: what the edit changed, carried out forwards by redo and backwards by undo.
class NetworkEdit : public QUndoCommand {
public:
    NetworkEdit(TNetworkForm& form, NetworkChange change, const QString& what, int mergeId)
        : QUndoCommand(what)
        , m_form(form)
        , m_change(std::move(change))
        , m_mergeId(mergeId) {}

    void undo() override { m_form.changeNetwork(m_change, false); }
    void redo() override { m_form.changeNetwork(m_change, true); }
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override {
        if (!Merge(m_change, static_cast<const NetworkEdit*>(other)->m_change)) {
            return false;
        }
        setObsolete(m_change.empty()); // typed back to where it began: no step at all
        return true;
    }

private:
    TNetworkForm& m_form;
    NetworkChange m_change;
    int m_mergeId;
};

TNetworkForm::TNetworkForm(CalculatorSource* calculator, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::TNetworkForm>())
    , m_calculator(calculator)
    , m_undo(new QUndoStack(this))
    , m_model(new NetworkSheetModel(this))
    , m_problems(new NetworkProblemsModel(this))
    , m_status(new QLabel(this))
    , m_density(new QLabel(this))
    , m_takeAir(new QPushButton(QStringLiteral("Взять воздух калькулятора"), this)) {
    m_ui->setupUi(this);
    // Never larger than the screen it opens on, frame and panels included.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(size().boundedTo(screen->availableGeometry().size() - QSize(16, 48)));
    }
    // The main window ends the program; this one closing, even as the last one shown, does not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(QIcon(QStringLiteral(":/icons/kalvor.png")));
    m_undo->setUndoLimit(UndoLimit);
    m_status->setObjectName(QStringLiteral("ProblemLbl"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ui->StatusBar->addWidget(m_status, 1);
    m_density->setObjectName(QStringLiteral("DensityLbl"));
    m_ui->ParamsLayout->addWidget(m_density, 1, 11);
    m_takeAir->setObjectName(QStringLiteral("TakeAirBtn"));
    m_takeAir->setVisible(false);
    m_ui->StatusBar->addPermanentWidget(m_takeAir);
    connect(m_takeAir, &QPushButton::clicked, this, &TNetworkForm::takeCalculatorAir);
    QListView* problems = AddProblemsPanel(this, m_problems);
    connect(problems, &QListView::clicked, this, &TNetworkForm::problemChosen);
    connect(problems, &QListView::activated, this, &TNetworkForm::problemChosen);
    setUpTable();
    setUpBoxes();
    setUpMenus();
    watchCatalogues();
    restoreLayout();
    refresh();
}

void TNetworkForm::fitColumns() {
    // Each column at least its own width; on a wider view the spare width is shared among them in
    // proportion, so that the table fills the window.
    QTableView* view = m_ui->SectionsTv;
    double total = 0;
    for (const int width : m_columnWidths) {
        total += width;
    }
    const double room = view->viewport()->width();
    const double scale = total > 0 && room > total ? room / total : 1.0;
    m_fittingColumns = true;
    int used = 0;
    for (std::size_t c = 0; c < m_columnWidths.size(); ++c) {
        const int width = c + 1 == m_columnWidths.size() && scale > 1.0
                              ? static_cast<int>(room) - used
                              : static_cast<int>(m_columnWidths[c] * scale);
        view->setColumnWidth(static_cast<int>(c), width);
        used += width;
    }
    m_fittingColumns = false;
}

void TNetworkForm::restoreLayout() {
    try {
        if (!m_settings.KeyExists(NetworkSettingsKey)) {
            return;
        }
        m_settings.OpenKey(NetworkSettingsKey, false);
        const QByteArray geometry =
            QByteArray::fromBase64(QByteArray::fromStdString(m_settings.ReadString("Geometry")));
        if (!geometry.isEmpty()) {
            restoreGeometry(geometry);
        }
        const QStringList widths = Utf8(m_settings.ReadString("Columns")).split(QLatin1Char(','));
        if (widths.size() == static_cast<qsizetype>(m_columnWidths.size())) {
            for (std::size_t c = 0; c < m_columnWidths.size(); ++c) {
                bool number = false;
                const int width = widths[static_cast<qsizetype>(c)].toInt(&number);
                if (number && width >= 16 && width <= 2000) {
                    m_columnWidths[c] = width;
                }
            }
            fitColumns();
        }
    } catch (const std::exception&) {
        // Settings that cannot be read leave the window as it is made.
    }
}

void TNetworkForm::keepLayout() {
    try {
        QStringList widths;
        for (const int width : m_columnWidths) {
            widths << QString::number(width);
        }
        m_settings.OpenKey(NetworkSettingsKey, true);
        m_settings.WriteString("Geometry", saveGeometry().toBase64().toStdString());
        m_settings.WriteString("Columns", Utf8(widths.join(QLatin1Char(','))));
    } catch (const std::exception&) {
        // The window opens at its own size next time; nothing else is lost.
    }
}

void TNetworkForm::watchCatalogues() {
    // A catalogue saved by the editor or another program replaces its file: the folder changes,
    // and the file watched before is gone. Changes in a row are taken in one recomputation.
    auto* watcher = new QFileSystemWatcher(this);
    auto* later = new QTimer(this);
    later->setSingleShot(true);
    later->setInterval(0);
    const QString folder = QDir::currentPath();
    const auto watchFiles = [watcher, folder] {
        for (const DuctShape shape :
             {DuctShape::Rectangular, DuctShape::FlatOval, DuctShape::Round}) {
            const QString file = QDir(folder).filePath(Utf8(CatalogueFileName(shape)));
            if (QFileInfo::exists(file) && !watcher->files().contains(file)) {
                watcher->addPath(file);
            }
        }
    };
    watcher->addPath(folder);
    watchFiles();
    connect(watcher, &QFileSystemWatcher::directoryChanged, later, qOverload<>(&QTimer::start));
    connect(watcher, &QFileSystemWatcher::fileChanged, later, qOverload<>(&QTimer::start));
    connect(later, &QTimer::timeout, this, [this, watchFiles] {
        watchFiles();
        Guarded(this, [this] { refresh(); });
    });
}

TNetworkForm::~TNetworkForm() {
    // The undo stack, a child of this window, is cleared as the window's children go, after the
    // window's own members (its cleanChanged would show the title from a freed path).
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
    // The table shows the network and results by pointer; they go before the table does.
    m_model->show(nullptr, nullptr, -1, -1, QString());
}

void TNetworkForm::setUpTable() {
    QTableView* view = m_ui->SectionsTv;
    view->setModel(m_model);
    m_delegate = new NetworkSheetDelegate(
        m_network,
        [this](int row, int column, const QString& text) { commitCell(row, column, text); }, view);
    view->setItemDelegate(m_delegate);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setWordWrap(false);
    QHeaderView* header = view->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    const QFontMetrics metrics(header->font());
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const int wide = column == ShapeColumn || column == MaterialColumn ? 108
                         : column == SizeColumn                            ? 104
                                                                           : 56;
        const QString heading =
            m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        m_columnWidths.push_back(std::max(wide, metrics.horizontalAdvance(heading) + 14));
    }
    // A width the user dragged is the column's own from then on.
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!m_fittingColumns && column >= 0 &&
            static_cast<std::size_t>(column) < m_columnWidths.size()) {
            m_columnWidths[static_cast<std::size_t>(column)] = size;
        }
    });
    fitColumns();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    view->installEventFilter(this);
}

void TNetworkForm::setUpBoxes() {
    connect(m_ui->NameLe, &QLineEdit::textEdited, this, [this] { boxEdited(NetworkField::Name); });
    for (const BoxField& field : BoxFields) {
        if (field.field == NetworkField::Name) {
            continue;
        }
        QLineEdit* line = box(field.field);
        InstallKeyFilter(line);
        const NetworkField which = field.field;
        connect(line, &QLineEdit::textEdited, this, [this, which] { boxEdited(which); });
    }
}

void TNetworkForm::setUpMenus() {
    Ui::TNetworkForm& ui = *m_ui;
    connect(ui.NewMi, &QAction::triggered, this, &TNetworkForm::NewMiClick);
    connect(ui.OpenMi, &QAction::triggered, this, &TNetworkForm::OpenMiClick);
    connect(ui.SaveMi, &QAction::triggered, this, &TNetworkForm::SaveMiClick);
    connect(ui.SaveAsMi, &QAction::triggered, this, &TNetworkForm::SaveAsMiClick);
    connect(ui.ExportCsvMi, &QAction::triggered, this, &TNetworkForm::ExportCsvMiClick);
    connect(ui.ExportXlsxMi, &QAction::triggered, this, &TNetworkForm::ExportXlsxMiClick);
    connect(ui.ExportPdfMi, &QAction::triggered, this, &TNetworkForm::ExportPdfMiClick);
    connect(ui.PrintMi, &QAction::triggered, this, &TNetworkForm::PrintMiClick);
    connect(ui.CloseMi, &QAction::triggered, this, &QWidget::close);
    connect(ui.UndoMi, &QAction::triggered, this,
            [this] { Guarded(this, [this] { m_undo->undo(); }); });
    connect(ui.RedoMi, &QAction::triggered, this,
            [this] { Guarded(this, [this] { m_undo->redo(); }); });
    connect(m_undo, &QUndoStack::canUndoChanged, ui.UndoMi, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, ui.RedoMi, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::cleanChanged, this, &TNetworkForm::showTitle);
    ui.UndoMi->setEnabled(false);
    ui.RedoMi->setEnabled(false);
    connect(ui.AddMi, &QAction::triggered, this, &TNetworkForm::AddMiClick);
    connect(ui.InsertMi, &QAction::triggered, this, &TNetworkForm::InsertMiClick);
    connect(ui.DeleteMi, &QAction::triggered, this, &TNetworkForm::DeleteMiClick);
    connect(ui.UpMi, &QAction::triggered, this, &TNetworkForm::UpMiClick);
    connect(ui.DownMi, &QAction::triggered, this, &TNetworkForm::DownMiClick);
    connect(ui.AutoSizeMi, &QAction::triggered, this, &TNetworkForm::AutoSizeMiClick);
    connect(ui.KmsMi, &QAction::triggered, this, &TNetworkForm::KmsMiClick);
    ui.KmsMi->setEnabled(false); // until the dialog's picker is set
    const std::pair<QAction*, DuctShape> shapes[] = {
        {ui.FromRectangularMi, DuctShape::Rectangular},
        {ui.FromFlatOvalMi, DuctShape::FlatOval},
        {ui.FromRoundMi, DuctShape::Round},
    };
    for (const auto& [action, shape] : shapes) {
        const DuctShape taken = shape;
        connect(action, &QAction::triggered, this, [this, taken] { fromCalculator(taken); });
        action->setEnabled(m_calculator != nullptr);
    }
    // The menu bar, its menus and the tool bar in the window's font, as the main window's are.
    for (QWidget* widget :
         std::initializer_list<QWidget*>{ui.NetworkMenu, ui.FileMenu, ui.EditMenu, ui.RecentMenu,
                                         ui.FromCalculatorMenu, ui.NetworkToolBar}) {
        widget->setFont(font());
    }
    ui.NetworkToolBar->addAction(ui.FromCalculatorMenu->menuAction());

    // The table's clipboard, as in a spreadsheet.
    ui.EditMenu->addSeparator();
    const std::tuple<const char*, QKeySequence::StandardKey, void (TNetworkForm::*)()> clip[] = {
        {"Копировать", QKeySequence::Copy, &TNetworkForm::copyCells},
        {"Вставить", QKeySequence::Paste, &TNetworkForm::pasteCells},
        {"Выделить всё", QKeySequence::SelectAll, &TNetworkForm::selectAllCells},
    };
    for (const auto& [text, key, slot] : clip) {
        QAction* action = ui.EditMenu->addAction(QString::fromUtf8(text));
        action->setShortcut(key);
        action->setShortcutContext(
            Qt::WidgetShortcut); // the view's keys reach it through its filter
        connect(action, &QAction::triggered, this, slot);
    }
    showRecentFiles();
}

bool TNetworkForm::modified() const {
    return !m_undo->isClean();
}

void TNetworkForm::edit(const Network& changed, const QString& what, int mergeId) {
    edit(Difference(m_network, changed), what, mergeId);
}

void TNetworkForm::edit(NetworkChange change, const QString& what, int mergeId) {
    if (change.empty()) {
        refresh(); // the boxes' problems may have gone
        return;
    }
    m_undo->push(new NetworkEdit(*this, std::move(change), what, mergeId));
}

void TNetworkForm::changeNetwork(const NetworkChange& change, bool forward) {
    if (forward) {
        Apply(m_network, change);
    } else {
        Revert(m_network, change);
    }
    m_boxProblems.clear(); // the boxes show the network's values again
    refresh();
}

void TNetworkForm::setNetwork(const Network& network) {
    m_network = network;
    m_boxProblems.clear(); // the boxes show the network's values again
    refresh();
}

void TNetworkForm::refresh() {
    m_results.reset();
    m_problem.clear();
    int row = -1, column = -1;
    std::vector<QLineEdit*> marked;
    if (!m_boxProblems.empty()) {
        m_problem = m_boxProblems.begin()->second;
        marked.push_back(box(m_boxProblems.begin()->first));
    } else {
        try {
            const NetworkCatalogues catalogues =
                ReadNetworkCatalogues(m_network, Utf8(QDir::currentPath()));
            m_results = ComputeNetwork(m_network, catalogues);
            m_lastNetwork = m_network;
            m_lastResults = m_results;
        } catch (const NetworkError& error) {
            m_problem = WindowText(error);
            markProblem(error, row, column);
            for (const BoxField& field : BoxFields) {
                const std::string_view name = field.name;
                if (error.sectionId.empty() &&
                    (error.field == name || (error.field == "air" && name.starts_with("air.")))) {
                    marked.push_back(box(field.field));
                }
            }
        } catch (const std::exception& error) {
            m_problem = Capitalised(Utf8(std::string(error.what())));
        }
    }
    showTable(row, column);
    showBoxes();
    for (const BoxField& field : BoxFields) {
        QLineEdit* line = box(field.field);
        const bool problem = std::find(marked.begin(), marked.end(), line) != marked.end();
        line->setProperty("problem", problem);
        line->setStyleSheet(problem ? QStringLiteral("background: %1").arg(ProblemColour().name())
                                    : QString());
    }
    m_ui->TotalsLbl->setText(totalsLines().join(QLatin1Char('\n')));
    if (m_results) {
        m_problems->show(&m_network, &*m_results, SystemDecimalSeparator());
    } else if (m_lastResults) {
        m_problems->show(&*m_lastNetwork, &*m_lastResults, SystemDecimalSeparator());
    } else {
        m_problems->show(nullptr, nullptr, SystemDecimalSeparator());
    }
    m_density->setText(
        m_results ? QStringLiteral("Плотность воздуха %1 кг/м³")
                        .arg(Utf8(FixedNumber(m_results->density, 3, SystemDecimalSeparator())))
                  : QString());

    // The calculator's air stays on offer while the network's differs from it.
    if (m_offer && m_network.air == *m_offer) {
        m_offer.reset();
        m_notice.clear();
    }
    m_takeAir->setVisible(m_offer.has_value());
    QString status = m_problem.isEmpty() ? m_notice : m_problem;
    if (m_results && status.isEmpty()) {
        std::vector<std::string> warnings = NetworkWarnings(m_network, *m_results);
        if (AirOutsideViscosityRange(m_network.air.t)) {
            std::string warning = AirRangeWarning(m_network.air.t, SystemDecimalSeparator());
            const std::string_view lead = "Внимание: ";
            if (warning.starts_with(lead)) {
                warning.erase(0, lead.size()); // the status line says it once
            }
            warnings.push_back(std::move(warning));
        }
        if (!warnings.empty()) {
            status = QStringLiteral("Внимание: ") + Utf8(warnings.front()) +
                     (warnings.size() > 1 ? QStringLiteral(" (и ещё %1)").arg(warnings.size() - 1)
                                          : QString());
        }
    }
    m_status->setText(status);
    m_status->setStyleSheet(m_problem.isEmpty()
                                ? (status.isEmpty() ? QString() : QStringLiteral("color: #8a5a00"))
                                : QStringLiteral("color: #b00000"));
    showTitle();
}

void TNetworkForm::showTable(int problemRow, int problemColumn) {
    if (m_results) {
        m_model->show(&m_network, &*m_results, problemRow, problemColumn, m_problem);
    } else if (m_lastResults) {
        m_model->show(&m_network, &*m_lastResults, problemRow, problemColumn, m_problem,
                      &*m_lastNetwork);
    } else {
        m_model->show(&m_network, nullptr, problemRow, problemColumn, m_problem);
    }
}

QStringList TNetworkForm::totalsLines() const {
    const char separator = SystemDecimalSeparator();
    const Network* network = m_results ? &m_network : m_lastResults ? &*m_lastNetwork : nullptr;
    const NetworkResults* results = m_results       ? &*m_results
                                    : m_lastResults ? &*m_lastResults
                                                    : nullptr;
    QStringList lines;
    if (results == nullptr) {
        lines << QStringLiteral("Сеть не рассчитана: причина — в строке состояния");
        return lines;
    }
    if (!m_results) {
        lines << QStringLiteral("Сеть не рассчитана: причина — в строке состояния. Серым — "
                                "расчёт последнего верного состояния сети:");
    }
    for (const std::string& line : NetworkTitleLines(*network, *results, separator)) {
        lines << Utf8(line);
    }
    for (const std::string& line : NetworkTotalsLines(*network, *results, separator, TotalsNamed)) {
        lines << Utf8(line);
    }
    return lines;
}

void TNetworkForm::problemChosen(const QModelIndex& index) {
    const std::string id = m_problems->sectionId(index.row());
    for (std::size_t i = 0; i < m_network.sections.size(); ++i) {
        if (m_network.sections[i].id == id) {
            selectSection(static_cast<int>(i));
            return;
        }
    }
}

std::optional<AirState> TNetworkForm::calculatorAir() const {
    if (m_calculator == nullptr) {
        return std::nullopt;
    }
    const CalculatorSection section = m_calculator->calculatorSection();
    if (!section.t || !section.PBar) {
        return std::nullopt;
    }
    return AirState{*section.t, *section.PBar};
}

Network TNetworkForm::freshNetwork() const {
    Network network;
    if (const std::optional<AirState> air = calculatorAir()) {
        network.air = *air;
    }
    return network;
}

void TNetworkForm::takeCalculatorAir() {
    Guarded(this, [this] {
        const std::optional<AirState> air = calculatorAir();
        if (!air) {
            throw Error("в окне настроек температура или давление воздуха — не число");
        }
        NetworkFields changed = FieldsOf(m_network);
        changed.air = *air;
        m_offer = air;
        edit(SetFields(m_network, changed), QStringLiteral("Воздух калькулятора"));
    });
}

void TNetworkForm::showEvent(QShowEvent* event) {
    // A network begun before the calculator's air was known takes it when first shown, as long as
    // nothing has been done with it.
    if (m_path.isEmpty() && m_undo->count() == 0 && m_network == Network{}) {
        const Network fresh = freshNetwork();
        if (!(fresh == m_network)) {
            m_network = fresh;
            refresh();
        }
    }
    QMainWindow::showEvent(event);
}

void TNetworkForm::markProblem(const NetworkError& error, int& row, int& column) {
    const std::vector<NetworkSection>& sections = m_network.sections;
    if (error.sectionId.empty() && error.field != "id") {
        return; // a field of the network itself: its box is marked
    }
    // A second section of the same id is the one refused; an empty id is named by its place.
    const bool last = error.field == "id" && !error.sectionId.empty();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::size_t at = last ? sections.size() - 1 - i : i;
        if (sections[at].id == error.sectionId) {
            row = static_cast<int>(at);
            column = ColumnOfField(error.field);
            return;
        }
    }
}

QLineEdit* TNetworkForm::box(NetworkField field) const {
    switch (field) {
    case NetworkField::Name:
        return m_ui->NameLe;
    case NetworkField::Temperature:
        return m_ui->tLe;
    case NetworkField::Pressure:
        return m_ui->PBarLe;
    case NetworkField::Vmax:
        return m_ui->VmaxLe;
    case NetworkField::Tolerance:
        return m_ui->ToleranceLe;
    case NetworkField::Reserve:
        break;
    }
    return m_ui->ReserveLe;
}

void TNetworkForm::showBoxes() {
    const char separator = SystemDecimalSeparator();
    if (m_ui->NameLe->text() != Utf8(m_network.name)) {
        m_ui->NameLe->setText(Utf8(m_network.name));
    }
    for (const BoxField& field : BoxFields) {
        const double* value = NumberOf(m_network, field.field);
        if (value == nullptr || m_boxProblems.count(field.field) != 0) {
            continue;
        }
        // A box whose text already reads as the value keeps it: "1," typed stays as typed.
        QLineEdit* line = box(field.field);
        try {
            if (ParseNumber(Utf8(line->text()), separator) == *value) {
                continue;
            }
        } catch (const ConversionError&) {
        }
        line->setText(Utf8(FormatNumber(*value, separator)));
    }
}

void TNetworkForm::boxEdited(NetworkField field) {
    Guarded(this, [this, field] {
        const BoxField& named =
            *std::find_if(std::begin(BoxFields), std::end(BoxFields),
                          [field](const BoxField& f) { return f.field == field; });
        NetworkFields changed = FieldsOf(m_network);
        const QString text = box(field)->text();
        m_boxProblems.erase(field);
        if (double* value = NumberOf(changed, field)) {
            try {
                *value = ParseNumber(Utf8(text.trimmed()), SystemDecimalSeparator());
            } catch (const ConversionError&) {
                m_boxProblems[field] = QStringLiteral("Поле «%1»: «%2» — не число")
                                           .arg(FieldHeading(named.name, false), text);
                refresh();
                return;
            }
        } else {
            changed.name = Utf8(text);
        }
        edit(SetFields(m_network, changed), QStringLiteral("Изменение поля «%1»").arg(named.name),
             static_cast<int>(field));
    });
}

void TNetworkForm::showTitle() {
    const QString name =
        m_path.isEmpty() ? QStringLiteral("Новая сеть") : QFileInfo(m_path).fileName();
    setWindowTitle(QStringLiteral("%1[*] — Расчёт сети").arg(name));
    setWindowModified(modified());
}

bool TNetworkForm::eventFilter(QObject* watched, QEvent* event) {
    // A key that starts an edit of a numeric or size cell passes the numeric filter first; while
    // a cell is edited its editor has the keys.
    QTableView* view = m_ui->SectionsTv;
    if (watched == view &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::pair<QKeySequence::StandardKey, void (TNetworkForm::*)()> clip[] = {
            {QKeySequence::Copy, &TNetworkForm::copyCells},
            {QKeySequence::Paste, &TNetworkForm::pasteCells},
            {QKeySequence::SelectAll, &TNetworkForm::selectAllCells},
        };
        for (const auto& [sequence, slot] : clip) {
            if (key->matches(sequence)) {
                event->accept();
                if (event->type() == QEvent::KeyPress) {
                    (this->*slot)();
                }
                return true;
            }
        }
    }
    if (watched == view && event->type() == QEvent::Resize) {
        // After the view has laid out its viewport for the new size.
        QMetaObject::invokeMethod(this, &TNetworkForm::fitColumns, Qt::QueuedConnection);
    }
    if (watched == view && event->type() == QEvent::KeyPress) {
        const int column = view->currentIndex().column();
        if (column == SizeColumn || column == FlowColumn || column == LengthColumn ||
            column == KmsColumn) {
            return m_keys.eventFilter(watched, event);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TNetworkForm::closeEvent(QCloseEvent* event) {
    bool close = false;
    Guarded(this, [this, &close] { close = maySpoil(); });
    if (close) {
        keepLayout();
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace kalvor
