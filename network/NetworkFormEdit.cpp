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
#include <utility>

namespace kalvor {

NetworkChange TNetworkForm::cellChange(int row, int column, const QString& text,
                                       QString& what) const {
    what.clear();
    if (row < 0 || static_cast<std::size_t>(row) >= m_network.sections.size()) {
        return {};
    }
    const auto at = static_cast<std::size_t>(row);
    switch (column) {
    case IdColumn:
        what = QStringLiteral("Изменение № участка");
        return RenameSection(m_network, at, Utf8(text.trimmed()));
    case ParentColumn:
        what = QStringLiteral("Изменение участка, от которого отходит");
        return SetParent(m_network, at, Utf8(text));
    case ShapeColumn: {
        const int shape = text.toInt();
        if (shape < 0 || shape > 2) {
            return {};
        }
        what = QStringLiteral("Изменение формы");
        return SetShape(m_network, at, static_cast<DuctShape>(shape));
    }
    case SizeColumn:
        what = QStringLiteral("Изменение размера");
        return SetSize(m_network, at, TypedSizeText(text));
    case MaterialColumn:
        what = QStringLiteral("Изменение материала");
        return SetMaterial(m_network, at, text.toInt());
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
                                 .arg(Utf8(m_network.sections[at].id), heading, text)));
        }
        what = QStringLiteral("Изменение «%1»").arg(heading);
        const SectionNumber field = column == FlowColumn     ? SectionNumber::Flow
                                    : column == LengthColumn ? SectionNumber::Length
                                    : column == KmsColumn    ? SectionNumber::Kms
                                                             : SectionNumber::Vmax;
        return SetNumber(m_network, at, field, value);
    }
    default:
        return {};
    }
}

void TNetworkForm::commitCell(int row, int column, const QString& text) {
    Guarded(this, [&] {
        QString what;
        NetworkChange change;
        try {
            change = cellChange(row, column, text, what);
        } catch (const Error& error) {
            refresh();
            m_status->setText(Utf8(std::string(error.what())));
            return;
        }
        if (!what.isEmpty()) {
            edit(std::move(change), what);
        }
    });
}

int TNetworkForm::currentSection() const {
    const QModelIndex current = m_ui->SectionsTv->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::size_t TNetworkForm::currentIndex() const {
    const int current = currentSection();
    return current >= 0 ? static_cast<std::size_t>(current) : NoSection;
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

void TNetworkForm::AddMiClick() {
    Guarded(this, [this] {
        NetworkChange change = AddNewSection(m_network, currentIndex());
        const auto place = static_cast<int>(change.place);
        edit(std::move(change), QStringLiteral("Добавление участка"));
        selectSection(place);
    });
}

void TNetworkForm::InsertMiClick() {
    Guarded(this, [this] {
        if (currentSection() < 0) {
            AddMiClick();
            return;
        }
        NetworkChange change = InsertNewSection(m_network, currentIndex());
        const auto place = static_cast<int>(change.place);
        edit(std::move(change), QStringLiteral("Вставка участка"));
        selectSection(place);
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
        const std::size_t first = rows.front();
        edit(DeleteSections(m_network, rows), rows.size() == 1
                                                  ? QStringLiteral("Удаление участка")
                                                  : QStringLiteral("Удаление участков"));
        selectSection(std::min(static_cast<int>(first), m_model->rowCount() - 1));
    });
}

void TNetworkForm::UpMiClick() {
    Guarded(this, [this] {
        const int current = currentSection();
        if (current <= 0) {
            return;
        }
        edit(MoveSection(m_network, static_cast<std::size_t>(current), true),
             QStringLiteral("Перемещение участка"));
        selectSection(current - 1);
    });
}

void TNetworkForm::DownMiClick() {
    Guarded(this, [this] {
        const int current = currentSection();
        if (current < 0 || current + 1 >= static_cast<int>(m_network.sections.size())) {
            return;
        }
        edit(MoveSection(m_network, static_cast<std::size_t>(current), false),
             QStringLiteral("Перемещение участка"));
        selectSection(current + 1);
    });
}

void TNetworkForm::AutoSizeMiClick() {
    Guarded(this, [this] {
        const std::vector<std::size_t> rows = selectedSections();
        if (rows.empty() && AutoSections(m_network).empty()) {
            m_status->setText(QStringLiteral("Нет участков с размером «auto» и нет выделенных "
                                             "строк: подбирать нечего"));
            return;
        }
        edit(CatalogueSizes(m_network, rows, Utf8(QDir::currentPath())),
             QStringLiteral("Подбор размеров"));
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
        edit(SetFittings(m_network, static_cast<std::size_t>(row), *taken),
             QStringLiteral("Подбор КМС"));
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
            NewSection(NextSectionId(m_network), ParentForNew(m_network, currentIndex()));
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
        NetworkChange change = AddSection(m_network, m_network.sections.size(), std::move(section));
        const auto place = static_cast<int>(change.place);
        edit(std::move(change), QStringLiteral("Участок из калькулятора"));
        selectSection(place);
    });
}

} // namespace kalvor
