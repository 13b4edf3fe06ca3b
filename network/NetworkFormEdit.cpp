// The network window's edits: a cell typed or picked, sections added, inserted, deleted and
// moved, sizes taken from the catalogues, a section taken from the calculator. Each is one step
// of undo.
#include "network/NetworkForm.h"

#include "common/NumberText.h"
#include "mainwindow/CalculatorSection.h"
#include "network/NetworkSheet.h"
#include "ui_NetworkForm.h"
#include "widgets/Messages.h"
#include "widgets/Utf8.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>

#include <algorithm>
#include <set>

namespace kalvor {

namespace {

// Whether the text is a whole number the id counter may take: digits only, at most nine.
bool CountingId(const std::string& id) {
    return !id.empty() && id.size() <= 9 &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

QString TNetworkForm::applyCell(Network& changed, int row, int column, const QString& text) const {
    if (row < 0 || static_cast<std::size_t>(row) >= changed.sections.size()) {
        return {};
    }
    NetworkSection& section = changed.sections[static_cast<std::size_t>(row)];
    switch (column) {
    case IdColumn: {
        const std::string old = section.id;
        section.id = Utf8(text.trimmed());
        // The sections hanging from a section renamed follow it, unless its id was shared.
        const auto holders = std::count_if(changed.sections.begin(), changed.sections.end(),
                                           [&](const NetworkSection& s) { return s.id == old; });
        if (holders == 0 && !old.empty()) {
            for (NetworkSection& other : changed.sections) {
                if (other.parent == old) {
                    other.parent = section.id;
                }
            }
        }
        return QStringLiteral("Изменение № участка");
    }
    case ParentColumn:
        section.parent = Utf8(text);
        return QStringLiteral("Изменение участка, от которого отходит");
    case ShapeColumn: {
        const int shape = text.toInt();
        if (shape < 0 || shape > 2) {
            return {};
        }
        section.shape = static_cast<DuctShape>(shape);
        // The material and size of another shape do not carry over where they do not fit.
        if (section.material >= MaterialCount(section.shape)) {
            section.material = 0;
        }
        if (!ParseSectionSize(section.shape, section.size)) {
            section.size = std::string(AutoSize);
        }
        return QStringLiteral("Изменение формы");
    }
    case SizeColumn: {
        const std::string size = TypedSizeText(text);
        section.size = size.empty() ? std::string(AutoSize) : size;
        return QStringLiteral("Изменение размера");
    }
    case MaterialColumn:
        section.material = text.toInt();
        return QStringLiteral("Изменение материала");
    case FlowColumn:
    case LengthColumn:
    case KmsColumn:
    case VmaxColumn: {
        const QString heading =
            m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        std::optional<double> value;
        try {
            if (!text.trimmed().isEmpty()) {
                value = ParseNumber(Utf8(text.trimmed()), SystemDecimalSeparator());
            }
        } catch (const ConversionError&) {
            throw Error(Utf8(QStringLiteral("Участок «%1», столбец «%2»: «%3» — не число; значение "
                                            "не изменено")
                                 .arg(Utf8(section.id), heading, text)));
        }
        if (column == VmaxColumn) {
            section.Vmax = value; // empty: the network's
        } else {
            (column == FlowColumn     ? section.flow
             : column == LengthColumn ? section.length
                                      : section.kms) = value.value_or(0.0);
        }
        return QStringLiteral("Изменение «%1»").arg(heading);
    }
    default:
        return {};
    }
}

void TNetworkForm::commitCell(int row, int column, const QString& text) {
    Guarded(this, [&] {
        Network changed = m_network;
        QString what;
        try {
            what = applyCell(changed, row, column, text);
        } catch (const Error& error) {
            refresh();
            m_status->setText(Utf8(std::string(error.what())));
            return;
        }
        if (!what.isEmpty()) {
            edit(changed, what);
        }
    });
}

std::string TNetworkForm::newSectionId() const {
    int largest = 0;
    for (const NetworkSection& section : m_network.sections) {
        if (CountingId(section.id)) {
            largest = std::max(largest, ParseInteger(section.id));
        }
    }
    return FormatNumber(static_cast<double>(largest) + 1.0, '.');
}

int TNetworkForm::currentSection() const {
    const QModelIndex current = m_ui->SectionsTv->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TNetworkForm::selectSection(int row) {
    QTableView* view = m_ui->SectionsTv;
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    const int column = std::max(view->currentIndex().column(), 0);
    view->setCurrentIndex(m_model->index(row, column));
    view->scrollTo(m_model->index(row, column));
}

std::vector<std::size_t> TNetworkForm::selectedSections() const {
    std::vector<std::size_t> rows;
    if (const QItemSelectionModel* selection = m_ui->SectionsTv->selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows()) {
            rows.push_back(static_cast<std::size_t>(index.row()));
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TNetworkForm::addSection(NetworkSection section, std::size_t place, const QString& what) {
    Network changed = m_network;
    place = std::min(place, changed.sections.size());
    changed.sections.insert(changed.sections.begin() + static_cast<std::ptrdiff_t>(place),
                            std::move(section));
    edit(changed, what);
    selectSection(static_cast<int>(place));
}

namespace {

// A new section: rectangular, sized from the catalogue, steel, no length, losses or air yet.
NetworkSection NewSection(std::string id, std::string parent) {
    NetworkSection section;
    section.id = std::move(id);
    section.parent = std::move(parent);
    section.size = std::string(AutoSize);
    return section;
}

// The section a new one hangs from: the current one, else the root; none in an empty network.
std::string ParentForNew(const Network& network, int current) {
    if (current >= 0 && static_cast<std::size_t>(current) < network.sections.size()) {
        return network.sections[static_cast<std::size_t>(current)].id;
    }
    for (const NetworkSection& section : network.sections) {
        if (section.parent.empty()) {
            return section.id;
        }
    }
    return network.sections.empty() ? std::string() : network.sections.front().id;
}

} // namespace

void TNetworkForm::AddMiClick() {
    Guarded(this, [this] {
        addSection(NewSection(newSectionId(), ParentForNew(m_network, currentSection())),
                   m_network.sections.size(), QStringLiteral("Добавление участка"));
    });
}

void TNetworkForm::InsertMiClick() {
    Guarded(this, [this] {
        const int current = currentSection();
        if (current < 0) {
            AddMiClick();
            return;
        }
        // Beside the current section, from the same one; above the root, from the root.
        const NetworkSection& at = m_network.sections[static_cast<std::size_t>(current)];
        addSection(NewSection(newSectionId(), at.parent.empty() ? at.id : at.parent),
                   static_cast<std::size_t>(current), QStringLiteral("Вставка участка"));
    });
}

void TNetworkForm::DeleteMiClick() {
    Guarded(this, [this] {
        std::vector<std::size_t> rows = selectedSections();
        if (rows.empty() && currentSection() >= 0) {
            rows.push_back(static_cast<std::size_t>(currentSection()));
        }
        if (rows.empty()) {
            return;
        }
        // What hung from a deleted section hangs from the first section above it that stays.
        std::map<std::string, std::string> goneParent;
        for (const std::size_t row : rows) {
            goneParent.emplace(m_network.sections[row].id, m_network.sections[row].parent);
        }
        Network changed = m_network;
        changed.sections.clear();
        for (std::size_t i = 0; i < m_network.sections.size(); ++i) {
            if (std::binary_search(rows.begin(), rows.end(), i)) {
                continue;
            }
            NetworkSection section = m_network.sections[i];
            std::set<std::string> passed; // a ring of deleted sections ends the walk
            for (auto gone = goneParent.find(section.parent);
                 gone != goneParent.end() && passed.insert(gone->first).second;
                 gone = goneParent.find(section.parent)) {
                section.parent = gone->second;
            }
            changed.sections.push_back(std::move(section));
        }
        edit(changed, rows.size() == 1 ? QStringLiteral("Удаление участка")
                                       : QStringLiteral("Удаление участков"));
        selectSection(std::min(static_cast<int>(rows.front()), m_model->rowCount() - 1));
    });
}

void TNetworkForm::UpMiClick() {
    Guarded(this, [this] {
        const int current = currentSection();
        if (current <= 0) {
            return;
        }
        Network changed = m_network;
        std::swap(changed.sections[static_cast<std::size_t>(current)],
                  changed.sections[static_cast<std::size_t>(current - 1)]);
        edit(changed, QStringLiteral("Перемещение участка"));
        selectSection(current - 1);
    });
}

void TNetworkForm::DownMiClick() {
    Guarded(this, [this] {
        const int current = currentSection();
        if (current < 0 || current + 1 >= static_cast<int>(m_network.sections.size())) {
            return;
        }
        Network changed = m_network;
        std::swap(changed.sections[static_cast<std::size_t>(current)],
                  changed.sections[static_cast<std::size_t>(current + 1)]);
        edit(changed, QStringLiteral("Перемещение участка"));
        selectSection(current + 1);
    });
}

void TNetworkForm::AutoSizeMiClick() {
    Guarded(this, [this] {
        std::vector<std::size_t> rows = selectedSections();
        if (rows.empty()) {
            for (std::size_t i = 0; i < m_network.sections.size(); ++i) {
                if (m_network.sections[i].size == AutoSize) {
                    rows.push_back(i);
                }
            }
        }
        if (rows.empty()) {
            m_status->setText(QStringLiteral("Нет участков с размером «auto» и нет выделенных "
                                             "строк: подбирать нечего"));
            return;
        }
        // The sizes the computation chooses with these sections set to "auto".
        Network probe = m_network;
        for (const std::size_t row : rows) {
            probe.sections[row].size = std::string(AutoSize);
        }
        const NetworkResults chosen =
            ComputeNetwork(probe, ReadNetworkCatalogues(probe, Utf8(QDir::currentPath())));
        Network changed = m_network;
        for (const std::size_t row : rows) {
            NetworkSection& section = changed.sections[row];
            section.size =
                SectionSizeText(section.shape, chosen.sections[row].A, chosen.sections[row].B);
        }
        edit(changed, QStringLiteral("Подбор размеров"));
    });
}

void TNetworkForm::setFittingsPicker(FittingsPicker* picker) {
    m_fittingsPicker = picker;
    m_ui->KmsMi->setEnabled(picker != nullptr);
}

void TNetworkForm::KmsMiClick() {
    Guarded(this, [this] {
        const int row = currentSection();
        if (m_fittingsPicker == nullptr || row < 0) {
            m_status->setText(QStringLiteral("Нет текущего участка: подбирать КМС не для чего"));
            return;
        }
        const NetworkSection& section = m_network.sections[static_cast<std::size_t>(row)];
        const std::optional<std::vector<FittingUse>> taken =
            m_fittingsPicker->pickFittings(this, section.fittings, section.kms);
        if (!taken) {
            return;
        }
        Network changed = m_network;
        changed.sections[static_cast<std::size_t>(row)].fittings = *taken;
        edit(changed, QStringLiteral("Подбор КМС"));
    });
}

void TNetworkForm::fromCalculator(DuctShape shape) {
    Guarded(this, [this, shape] {
        if (m_calculator == nullptr) {
            return;
        }
        const CalculatorSection taken = m_calculator->calculatorSection();
        const CalculatorDuct& duct = taken.duct(shape);
        NetworkSection section =
            NewSection(newSectionId(), ParentForNew(m_network, currentSection()));
        section.shape = shape;
        if (duct.sized) {
            section.size = SectionSizeText(shape, duct.A, duct.B);
        }
        section.material = duct.material < MaterialCount(shape) ? duct.material : 0;
        section.flow = taken.Q;
        section.length = taken.l;
        // Fittings behind the calculator's sum come along: the section keeps what its Σζ is made
        // of, at full precision, and nothing typed by hand beside them.
        section.kms = taken.fittings.empty() ? taken.KMS : 0.0;
        section.fittings = taken.fittings;
        // The section was sized for the calculator's air: a network computed with other air
        // says so, and the status line offers to take the calculator's.
        if (taken.t && taken.PBar && !(AirState{*taken.t, *taken.PBar} == m_network.air)) {
            const char separator = SystemDecimalSeparator();
            m_offer = AirState{*taken.t, *taken.PBar};
            m_notice =
                QStringLiteral("Воздух сети (t = %1 °C, PBar = %2 гПа) не тот, что в калькуляторе "
                               "(t = %3 °C, PBar = %4 гПа)")
                    .arg(Utf8(FormatNumber(m_network.air.t, separator)),
                         Utf8(FormatNumber(m_network.air.PBar, separator)),
                         Utf8(FormatNumber(*taken.t, separator)),
                         Utf8(FormatNumber(*taken.PBar, separator)));
        }
        addSection(std::move(section), m_network.sections.size(),
                   QStringLiteral("Участок из калькулятора"));
    });
}

} // namespace kalvor
