// The network window's table: cells from the core's form rows, marks, and the input editors.
#include "network/NetworkSheet.h"

#include "catalogues/CatalogueFile.h"
#include "common/NumberText.h"
#include "hydraulics/SizeText.h"
#include "network/NetworkPaste.h"
#include "network/NetworkTable.h"
#include "widgets/KeyFilter.h"
#include "widgets/Utf8.h"

#include <QComboBox>
#include <QFont>
#include <QLineEdit>

#include <algorithm>

namespace kalvor {

QColor FlaggedColour() {
    return QColor(255, 190, 190);
}

QColor ProblemColour() {
    return QColor(255, 214, 120);
}

QString ShownSizeText(const std::string& size, char decimalSeparator) {
    QString text = Utf8(size);
    text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
    return text;
}

std::string TypedSizeText(const QString& text) {
    QString size = text.trimmed();
    size.replace(QLatin1Char(','), QLatin1Char('.'));
    return Utf8(size);
}

std::vector<QString> SheetRowTexts(const Network& network, const NetworkResults& results,
                                   std::size_t section, char decimalSeparator,
                                   const QString& catalogueMark) {
    std::vector<QString> texts;
    for (const FormCell& cell : NetworkFormRow(network, results, section, decimalSeparator)) {
        texts.push_back(Utf8(cell.text));
    }
    // The size used, with the separator shown; one chosen from the catalogue says so.
    texts[SizeColumn] = ShownSizeText(Utf8(texts[SizeColumn]), decimalSeparator);
    if (results.sections[section].automatic) {
        texts[SizeColumn] += catalogueMark;
    }
    return texts;
}

NetworkSheetModel::NetworkSheetModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void NetworkSheetModel::show(const Network* network, const NetworkResults* results, int problemRow,
                             int problemColumn, const QString& problem, const Network* resultsOf) {
    const int rows = network != nullptr ? static_cast<int>(network->sections.size()) : 0;
    const bool reshaped = rows != m_rows;
    if (reshaped) {
        beginResetModel();
    }
    m_network = network;
    m_results = results;
    m_resultsOf = resultsOf != network && results != nullptr ? resultsOf : nullptr;
    m_staleRow.clear();
    if (m_resultsOf != nullptr) {
        for (std::size_t i = 0; i < m_resultsOf->sections.size(); ++i) {
            m_staleRow.emplace(m_resultsOf->sections[i].id, i);
        }
    }
    m_rows = rows;
    m_problemRow = problemRow;
    m_problemColumn = problemColumn;
    m_problem = problem;
    m_separator = SystemDecimalSeparator();
    m_texts.assign(static_cast<std::size_t>(rows), {});
    if (reshaped) {
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
}

int NetworkSheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int NetworkSheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SheetColumns;
}

const std::vector<QString>& NetworkSheetModel::texts(int row) const {
    std::vector<QString>& texts = m_texts[static_cast<std::size_t>(row)];
    if (!texts.empty()) {
        return texts;
    }
    const std::size_t i = static_cast<std::size_t>(row);
    const NetworkSection& section = m_network->sections[i];
    if (m_results != nullptr && m_resultsOf == nullptr) {
        texts = SheetRowTexts(*m_network, *m_results, i, m_separator);
        return texts;
    }
    // Without results the inputs, as they are: the own flow, the size as typed, and beside them
    // the stale figures of the same section, if any.
    texts.resize(NetworkFormColumns().size());
    std::vector<QString> old;
    if (m_resultsOf != nullptr) {
        const auto found = m_staleRow.find(section.id);
        if (found != m_staleRow.end()) {
            old = SheetRowTexts(*m_resultsOf, *m_results, found->second, m_separator);
            std::copy(old.begin() + FirstResultColumn, old.end(),
                      texts.begin() + FirstResultColumn);
        }
    }
    texts[IdColumn] = Utf8(section.id);
    texts[ParentColumn] = Utf8(section.parent);
    texts[ShapeColumn] = Utf8(std::string(ShapeName(section.shape)));
    texts[SizeColumn] = ShownSizeText(section.size, m_separator);
    texts[MaterialColumn] = Utf8(std::string(MaterialName(section.material)));
    // The flow through the section is a figure of the whole network: the last one, while stale.
    texts[FlowColumn] =
        old.empty() ? Utf8(FormatNumber(section.flow, m_separator)) : old[FlowColumn];
    texts[LengthColumn] = Utf8(FormatNumber(section.length, m_separator));
    try {
        texts[KmsColumn] = Utf8(FixedNumber(SectionKms(section), 2, m_separator));
    } catch (const std::exception&) {
        texts[KmsColumn] = Utf8(FormatNumber(section.kms, m_separator)); // a fitting is at fault
    }
    return texts;
}

const SectionResult* NetworkSheetModel::resultOf(int row) const {
    if (m_results == nullptr) {
        return nullptr;
    }
    if (m_resultsOf == nullptr) {
        return &m_results->sections[static_cast<std::size_t>(row)];
    }
    const auto found = m_staleRow.find(m_network->sections[static_cast<std::size_t>(row)].id);
    return found != m_staleRow.end() ? &m_results->sections[found->second] : nullptr;
}

QVariant NetworkSheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) {
        return {};
    }
    const int row = index.row();
    const int column = index.column();
    const NetworkSection& section = m_network->sections[static_cast<std::size_t>(row)];
    const SectionResult* result = resultOf(row);
    const bool problem = row == m_problemRow && column == m_problemColumn;
    if (column == VmaxColumn && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        return section.Vmax ? Utf8(FormatNumber(*section.Vmax, m_separator)) : QString();
    }
    switch (role) {
    case Qt::DisplayRole:
        return texts(row)[static_cast<std::size_t>(column)];
    case Qt::EditRole:
        switch (column) {
        case IdColumn:
            return Utf8(section.id);
        case ParentColumn:
            return Utf8(section.parent);
        case ShapeColumn:
            return static_cast<int>(section.shape);
        case SizeColumn:
            return ShownSizeText(section.size, m_separator);
        case MaterialColumn:
            return section.material;
        case FlowColumn:
            return Utf8(FormatNumber(section.flow, m_separator));
        case LengthColumn:
            return Utf8(FormatNumber(section.length, m_separator));
        case KmsColumn:
            return Utf8(FormatNumber(section.kms, m_separator));
        default:
            return {};
        }
    case Qt::ForegroundRole:
        if (m_resultsOf != nullptr &&
            (column >= FirstResultColumn || (column == FlowColumn && result != nullptr))) {
            return QColor(Qt::gray); // the figures of the last state that could be computed
        }
        return {};
    case Qt::FontRole:
        if (result != nullptr && result->main) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        if (problem) {
            return ProblemColour();
        }
        if (result != nullptr && result->flagged && column == ImbalanceColumn) {
            return FlaggedColour();
        }
        if (result != nullptr && result->overVmax && column == VelocityColumn) {
            return FlaggedColour();
        }
        return {};
    case Qt::TextAlignmentRole:
        return column == VmaxColumn ||
                       NetworkFormColumns()[static_cast<std::size_t>(column)].numeric
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (problem) {
            return m_problem;
        }
        if (column == VelocityColumn && result != nullptr && result->overVmax) {
            return QStringLiteral("Скорость %1 м/с выше допустимой %2 м/с%3")
                .arg(Utf8(FixedNumber(result->V, 2, m_separator)),
                     Utf8(FormatNumber(result->Vmax, m_separator)),
                     result->catalogueShort ? QStringLiteral(": в каталоге нет размера больше")
                                            : QString());
        }
        if (column == VmaxColumn && m_network != nullptr) {
            return QStringLiteral("Наибольшая скорость участка для подбора размера и проверки; "
                                  "пусто — сети (%1 м/с)")
                .arg(Utf8(FormatNumber(m_network->Vmax, m_separator)));
        }
        if (column == FlowColumn) {
            return QStringLiteral("Собственный расход участка: %1 м³/ч; в таблице — расход "
                                  "через участок")
                .arg(Utf8(FormatNumber(section.flow, m_separator)));
        }
        if (column == KmsColumn && !section.fittings.empty()) {
            QString tip = QStringLiteral("Σζ, введённая вручную: %1; местных сопротивлений: %2")
                              .arg(Utf8(FormatNumber(section.kms, m_separator)))
                              .arg(section.fittings.size());
            try {
                tip += QStringLiteral(", их Σζ = %1")
                           .arg(Utf8(FormatNumber(FittingsZetaSum(section.fittings), m_separator)));
            } catch (const std::exception& error) {
                tip += QStringLiteral(": ") + Utf8(std::string(error.what()));
            }
            return tip + QStringLiteral(" («Подбор КМС…», Ctrl+K)");
        }
        return {};
    default:
        return {};
    }
}

QVariant NetworkSheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (orientation == Qt::Horizontal && section == VmaxColumn) {
        return Utf8(std::string(VmaxHeading));
    }
    if (orientation == Qt::Horizontal) {
        return Utf8(
            std::string(NetworkFormColumns().at(static_cast<std::size_t>(section)).heading));
    }
    const SectionResult* result = section < m_rows ? resultOf(section) : nullptr;
    const bool main = result != nullptr && result->main;
    // The main path is marked as in the printed report: "*" beside the row's number.
    return QString::number(section + 1) + (main ? QStringLiteral(" *") : QString());
}

Qt::ItemFlags NetworkSheetModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() < InputColumns || index.column() == VmaxColumn
               ? flags | Qt::ItemIsEditable
               : flags;
}

// ---- Editors -----------------------------------------------------------------------------------

namespace {

// "auto" and the sizes of the shape's catalogue in the current directory, in millimetres.
QStringList SizeItems(DuctShape shape, char separator) {
    QStringList items{Utf8(std::string(AutoSize))};
    try {
        const SizeCatalogue rows = ReadSizeCatalogue(shape);
        for (std::size_t row = 0; row < rows.A.size(); ++row) {
            items << Utf8(shape == DuctShape::Round
                              ? SizeNumberText(rows.A[row], true, separator)
                              : SizePairText(rows.A[row], rows.B.at(row), true, separator));
        }
    } catch (const std::exception&) {
        // Without a readable catalogue the size is typed or "auto"; the list offers no more.
    }
    return items;
}

} // namespace

NetworkSheetDelegate::NetworkSheetDelegate(const Network& network, Commit commit, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_network(network)
    , m_commit(std::move(commit)) {}

QComboBox* NetworkSheetDelegate::pickList(QWidget* parent) const {
    auto* box = new QComboBox(parent);
    connect(box, &QComboBox::activated, this, &NetworkSheetDelegate::picked);
    return box;
}

void NetworkSheetDelegate::picked() {
    if (auto* box = qobject_cast<QWidget*>(sender())) {
        emit commitData(box);
        emit closeEditor(box);
    }
}

QWidget* NetworkSheetDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                            const QModelIndex& index) const {
    const std::size_t row = static_cast<std::size_t>(index.row());
    if (row >= m_network.sections.size()) {
        return nullptr;
    }
    const NetworkSection& section = m_network.sections[row];
    const char separator = SystemDecimalSeparator();
    switch (index.column()) {
    case IdColumn:
        return new QLineEdit(parent);
    case ParentColumn: {
        QComboBox* box = pickList(parent);
        box->addItem(QStringLiteral("— (корень)"), QString());
        for (const NetworkSection& other : m_network.sections) {
            if (&other != &section) {
                box->addItem(Utf8(other.id), Utf8(other.id));
            }
        }
        return box;
    }
    case ShapeColumn: {
        QComboBox* box = pickList(parent);
        for (DuctShape shape : {DuctShape::Rectangular, DuctShape::FlatOval, DuctShape::Round}) {
            box->addItem(Utf8(std::string(ShapeName(shape))), static_cast<int>(shape));
        }
        return box;
    }
    case MaterialColumn: {
        QComboBox* box = pickList(parent);
        for (int material = 0; material < MaterialCount(section.shape); ++material) {
            box->addItem(Utf8(std::string(MaterialName(material))), material);
        }
        return box;
    }
    case SizeColumn: {
        QComboBox* box = pickList(parent);
        box->setEditable(true);
        box->setCompleter(nullptr); // typed text is never completed
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(SizeItems(section.shape, separator));
        InstallKeyFilter(box);
        InstallKeyFilter(box->lineEdit());
        return box;
    }
    case FlowColumn:
    case LengthColumn:
    case KmsColumn:
    case VmaxColumn: {
        auto* line = new QLineEdit(parent);
        InstallKeyFilter(line);
        return line;
    }
    default:
        return nullptr;
    }
}

void NetworkSheetDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QVariant value = index.data(Qt::EditRole);
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        if (box->isEditable()) {
            // As in a line editor, the first key typed replaces the whole size.
            box->setEditText(value.toString());
            box->lineEdit()->selectAll();
            return;
        }
        box->setCurrentIndex(std::max(box->findData(value), 0));
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(value.toString());
    }
}

void NetworkSheetDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                        const QModelIndex& index) const {
    QString text;
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        text = box->isEditable() ? box->currentText() : box->currentData().toString();
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        text = line->text();
    }
    m_commit(index.row(), index.column(), text);
}

} // namespace kalvor
