// The dialog "Подбор КМС": the list of fittings, the fields of the current one, the live ζ and
// the sum; OK only while every fitting can be used.
#include "fittings/FittingsForm.h"

#include "ui_FittingsForm.h"

#include "common/NumberText.h"
#include "widgets/KeyFilter.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidgetItem>

#include <algorithm>
#include <cmath>

namespace kalvor {

namespace {

enum Column { NumberColumn, NameColumn, CountColumn, ZetaColumn, ProductColumn, ColumnCount };

// Far beyond any section; a file's count above it is refused when the file is read.
inline constexpr int MaxCount = static_cast<int>(MaxFittingCount);

// A count box that shows what is typed: a sign or a 0 stays as typed, to be refused with OK
// unavailable, rather than being swallowed (so that "-3" would read 3) or shown while another
// count is taken.
class CountBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& text, int& position) const override {
        const QValidator::State state = QSpinBox::validate(text, position);
        if (state != QValidator::Acceptable) {
            static const QRegularExpression digits(QStringLiteral("^[+-]?\\d*$"));
            if (digits.match(text.trimmed()).hasMatch()) {
                return QValidator::Intermediate;
            }
        }
        return state;
    }
};

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A coefficient as the dialog shows it: rounded to 3 decimals, trailing zeros dropped.
QString ZetaText(double zeta, char separator) {
    return Utf8(FormatNumber(RoundTo(zeta, 3), separator));
}

const char* const MarkedField = "background-color: #ffd0d0;";

} // namespace

TFittingsForm::TFittingsForm(QWidget* owner)
    : ModalDialog(Qt::Dialog, owner)
    , m_ui(std::make_unique<Ui::TFittingsForm>())
    , m_separator(SystemDecimalSeparator()) {
    ui()->setupUi(this);
    setObjectName(QStringLiteral("FittingsForm"));
    auto* table = ui()->FittingsTw;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Местное сопротивление"),
                                      QStringLiteral("Кол-во"), QStringLiteral("ζ"),
                                      QStringLiteral("Кол-во·ζ")});
    table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (const int column : {NumberColumn, CountColumn, ZetaColumn, ProductColumn}) {
        table->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }

    for (const FittingFamily family : FittingFamilies()) {
        ui()->FamilyCb->addItem(Utf8(FittingFamilyName(family)), static_cast<int>(family));
    }
    fillTypes();
    connect(ui()->FamilyCb, &QComboBox::currentIndexChanged, this, &TFittingsForm::fillTypes);
    connect(ui()->AddBtn, &QPushButton::clicked, this,
            [this] { addFitting(ui()->TypeCb->currentData().toString().toStdString()); });
    connect(ui()->DeleteBtn, &QPushButton::clicked, this, &TFittingsForm::removeCurrent);
    connect(table, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous, int) {
                if (row != previous) {
                    showFields();
                    showState();
                }
            });
    connect(ui()->ButtonBox, &QDialogButtonBox::accepted, this, [this] {
        if (acceptable()) {
            accept();
        }
    });
    connect(ui()->ButtonBox, &QDialogButtonBox::rejected, this, &TFittingsForm::reject);
    showList();
    showFields();
    showState();
}

TFittingsForm::~TFittingsForm() {
    // Signals the children send as they go (after this window's members) reach nothing of it.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
}

void TFittingsForm::reject() {
    QDialog::reject();
}

void TFittingsForm::fillTypes() {
    const auto family = static_cast<FittingFamily>(ui()->FamilyCb->currentData().toInt());
    ui()->TypeCb->clear();
    for (const FittingType& type : FittingTypes()) {
        if (type.family == family) {
            ui()->TypeCb->addItem(Utf8(type.name), Utf8(type.id));
        }
    }
}

void TFittingsForm::setFittings(const std::vector<FittingUse>& fittings) {
    m_entries.clear();
    for (const FittingUse& use : fittings) {
        Entry entry{use.type, {}, 1};
        for (const auto& [id, value] : use.parameters) {
            entry.texts[id] = Utf8(FormatNumber(value, m_separator));
        }
        const double whole = std::floor(use.count);
        entry.count = static_cast<int>(std::clamp(whole, 1.0, double{MaxCount}));
        m_entries.push_back(std::move(entry));
    }
    showList();
    setCurrent(m_entries.empty() ? -1 : 0);
}

std::vector<FittingUse> TFittingsForm::fittings() const {
    std::vector<FittingUse> list;
    for (const Entry& entry : m_entries) {
        list.push_back(read(entry).use);
    }
    return list;
}

void TFittingsForm::setTypedKms(std::optional<double> kms) {
    m_typedKms = kms;
    showState();
}

std::optional<double> TFittingsForm::sum() const {
    try {
        return FittingsZetaSum(fittings());
    } catch (const FittingError&) {
        return std::nullopt;
    }
}

void TFittingsForm::addFitting(std::string_view typeId) {
    const FittingType* type = FindFittingType(typeId);
    if (type == nullptr) {
        return;
    }
    Entry entry{type->id, {}, 1};
    for (const auto& [id, value] : DefaultFittingParameters(*type)) {
        entry.texts[id] = Utf8(FormatNumber(value, m_separator));
    }
    m_entries.push_back(std::move(entry));
    showList();
    setCurrent(static_cast<int>(m_entries.size()) - 1);
}

void TFittingsForm::removeCurrent() {
    const int row = current();
    if (row < 0) {
        return;
    }
    m_entries.erase(m_entries.begin() + row);
    showList();
    setCurrent(std::min(row, static_cast<int>(m_entries.size()) - 1));
}

int TFittingsForm::current() const {
    const int row = ui()->FittingsTw->currentRow();
    return row >= 0 && row < static_cast<int>(m_entries.size()) ? row : -1;
}

void TFittingsForm::setCurrent(int row) {
    if (row < 0) {
        ui()->FittingsTw->setCurrentCell(-1, -1);
    } else {
        ui()->FittingsTw->setCurrentCell(row, NameColumn);
    }
    showFields();
    showState();
}

namespace {

// A refusal as the dialog says it: without the type named again (the row names it), each
// parameter by the symbol beside its field rather than by its key in files, from a capital letter.
QString DialogText(const FittingType& type, const std::string& detail) {
    QString text = Utf8(detail);
    const QString prefix = Utf8(type.name + " (" + type.id + "): ");
    if (text.startsWith(prefix)) {
        text.remove(0, prefix.size());
    }
    for (const FittingParameter& parameter : type.parameters) {
        const QString symbol = Utf8(FittingSymbol(parameter));
        // "«Угол поворота δ» angle = 200°": the label already ends with the symbol.
        text.replace(QStringLiteral("» %1 = ").arg(Utf8(parameter.id)), QStringLiteral("» = "));
        text.replace(QRegularExpression(QStringLiteral("(?<![\\w«])%1(?![\\w»])")
                                            .arg(QRegularExpression::escape(Utf8(parameter.id)))),
                     symbol);
    }
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

} // namespace

TFittingsForm::Reading TFittingsForm::read(const Entry& entry) const {
    Reading reading;
    reading.use.type = entry.type;
    reading.use.count = entry.count;
    const FittingType* type = FindFittingType(entry.type);
    if (type == nullptr) {
        reading.problem =
            QStringLiteral("Неизвестный тип местного сопротивления «%1»").arg(Utf8(entry.type));
        return reading;
    }
    for (const FittingParameter& parameter : type->parameters) {
        const auto found = entry.texts.find(parameter.id);
        const QString text = found == entry.texts.end() ? QString() : found->second.trimmed();
        const QString label = Utf8(parameter.label);
        if (text.isEmpty()) {
            if (!parameter.optional && reading.problem.isEmpty()) {
                reading.problem = QStringLiteral("Не задан параметр «%1»").arg(label);
                reading.parameter = parameter.id;
            }
            continue;
        }
        try {
            reading.use.parameters[parameter.id] = ParseNumber(text.toStdString(), m_separator);
        } catch (const Error&) {
            if (reading.problem.isEmpty()) {
                reading.problem = QStringLiteral("Параметр «%1»: «%2» — не число").arg(label, text);
                reading.parameter = parameter.id;
            }
        }
    }
    if (!reading.problem.isEmpty()) {
        return reading;
    }
    try {
        const FittingEvaluation evaluation = EvaluateFitting(entry.type, reading.use.parameters);
        reading.zeta = evaluation.zeta;
        reading.clamped = evaluation.clamped;
    } catch (const FittingError& error) {
        reading.problem = DialogText(*type, error.detail);
        reading.parameter = error.parameter;
    }
    return reading;
}

void TFittingsForm::showList() {
    auto* table = ui()->FittingsTw;
    const QSignalBlocker blocker(table);
    table->setRowCount(static_cast<int>(m_entries.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        showRow(row);
    }
}

void TFittingsForm::showRow(int row) {
    auto* table = ui()->FittingsTw;
    const Entry& entry = m_entries[static_cast<std::size_t>(row)];
    const Reading reading = read(entry);
    const FittingType* type = FindFittingType(entry.type);
    const QString texts[ColumnCount] = {
        QString::number(row + 1),
        type != nullptr ? Utf8(type->name) : Utf8(entry.type),
        QString::number(entry.count),
        reading.zeta ? ZetaText(*reading.zeta, m_separator) : QStringLiteral("—"),
        reading.zeta ? ZetaText(*reading.zeta * entry.count, m_separator) : QStringLiteral("—"),
    };
    for (int column = 0; column < ColumnCount; ++column) {
        auto* item = table->item(row, column);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            table->setItem(row, column, item);
        }
        item->setText(texts[column]);
        item->setTextAlignment(column == NameColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                    : Qt::AlignRight | Qt::AlignVCenter);
        item->setBackground(reading.zeta ? QBrush() : QBrush(QColor(0xff, 0xd0, 0xd0)));
        item->setToolTip(reading.problem);
    }
}

void TFittingsForm::showFields() {
    QGridLayout* grid = ui()->FieldsLayout;
    while (QLayoutItem* item = grid->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->setObjectName(QString()); // the new field of that name is the one found
            widget->deleteLater();
        }
        delete item;
    }
    m_fields.clear();
    const int row = current();
    const FittingType* type =
        row < 0 ? nullptr : FindFittingType(m_entries[static_cast<std::size_t>(row)].type);
    ui()->ParametersGb->setEnabled(type != nullptr);
    ui()->DeleteBtn->setEnabled(row >= 0);
    if (type == nullptr) {
        ui()->ParametersGb->setTitle(QStringLiteral("Параметры"));
        return;
    }
    const Entry& entry = m_entries[static_cast<std::size_t>(row)];
    ui()->ParametersGb->setTitle(QStringLiteral("Параметры: ") + Utf8(type->name));
    int line = 0;
    for (const FittingParameter& parameter : type->parameters) {
        QString caption = Utf8(parameter.label);
        if (!parameter.unit.empty()) {
            caption += QStringLiteral(", ") + Utf8(parameter.unit);
        }
        auto* label = new QLabel(caption, ui()->ParametersGb);
        QWidget* field = nullptr;
        const auto found = entry.texts.find(parameter.id);
        const QString text = found == entry.texts.end() ? QString() : found->second;
        const std::string id = parameter.id;
        if (!parameter.choices.empty()) {
            auto* box = new QComboBox(ui()->ParametersGb);
            for (std::size_t i = 0; i < parameter.choices.size(); ++i) {
                box->addItem(Utf8(parameter.choices[i]),
                             Utf8(FormatNumber(parameter.accepted.min + static_cast<double>(i),
                                               m_separator)));
            }
            box->setCurrentIndex(box->findData(text));
            connect(box, &QComboBox::currentIndexChanged, this,
                    [this, box, id] { fieldEdited(id, box->currentData().toString()); });
            field = box;
        } else {
            auto* edit = new QLineEdit(text, ui()->ParametersGb);
            edit->setMaximumWidth(110);
            InstallKeyFilter(edit);
            connect(edit, &QLineEdit::textEdited, this,
                    [this, id](const QString& typed) { fieldEdited(id, typed); });
            field = edit;
        }
        field->setObjectName(Utf8(id));
        label->setBuddy(field);
        QString rangeText = Utf8(FittingRangeText(parameter, FittingSymbol(parameter)));
        // Beyond the handbook's table the value is taken at the table's end. Written as the
        // range before it, with a decimal comma.
        const QString low = Utf8(FormatNumber(parameter.clampMin, ','));
        const QString high = Utf8(FormatNumber(parameter.clampMax, ','));
        if (parameter.ClampsBelow() && parameter.ClampsAbove()) {
            rangeText += QStringLiteral("; по таблице %1…%2").arg(low, high);
        } else if (parameter.ClampsAbove()) {
            rangeText += QStringLiteral("; по таблице до %1").arg(high);
        } else if (parameter.ClampsBelow()) {
            rangeText += QStringLiteral("; по таблице от %1").arg(low);
        }
        auto* range = new QLabel(rangeText, ui()->ParametersGb);
        grid->addWidget(label, line, 0);
        grid->addWidget(field, line, 1);
        grid->addWidget(range, line, 2);
        m_fields[id] = field;
        ++line;
    }
    auto* countLabel = new QLabel(QStringLiteral("Количество, шт."), ui()->ParametersGb);
    auto* count = new CountBox(ui()->ParametersGb);
    count->setObjectName(QStringLiteral("count"));
    count->setRange(1, MaxCount);
    count->setValue(entry.count);
    count->setMaximumWidth(110);
    connect(count, &QSpinBox::valueChanged, this, &TFittingsForm::countEdited);
    // A text that is no count changes no value: the state shows why and OK waits for a count.
    // (The box's own textChanged waits for a value; its line edit's reports every text.)
    connect(count->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
            &TFittingsForm::showState);
    grid->addWidget(countLabel, line, 0);
    grid->addWidget(count, line, 1);
    grid->setColumnStretch(2, 1);
    m_fields["count"] = count;
}

void TFittingsForm::fieldEdited(const std::string& parameter, const QString& text) {
    const int row = current();
    if (row < 0) {
        return;
    }
    m_entries[static_cast<std::size_t>(row)].texts[parameter] = text;
    showRow(row);
    showState();
}

QString TFittingsForm::countProblem() const {
    const auto found = m_fields.find("count");
    const auto* box = found == m_fields.end() ? nullptr : qobject_cast<QSpinBox*>(found->second);
    if (box == nullptr) {
        return {};
    }
    bool whole = false;
    const int typed = box->text().trimmed().toInt(&whole);
    if (whole && typed >= 1 && typed <= MaxCount && typed == box->value()) {
        return {};
    }
    return QStringLiteral("Количество — целое число от 1 до %1 (введено «%2»)")
        .arg(MaxCount)
        .arg(box->text());
}

void TFittingsForm::countEdited(int count) {
    const int row = current();
    if (row < 0) {
        return;
    }
    m_entries[static_cast<std::size_t>(row)].count = count;
    showRow(row);
    showState();
}

void TFittingsForm::showState() {
    const int row = current();
    QString problem;
    QString about;
    std::string marked;
    if (row >= 0) {
        const Entry& entry = m_entries[static_cast<std::size_t>(row)];
        const Reading reading = read(entry);
        problem = reading.problem;
        marked = reading.parameter;
        if (const QString count = countProblem(); !count.isEmpty()) {
            problem = count;
            marked = "count";
        }
        if (const FittingType* type = FindFittingType(entry.type)) {
            about = QStringLiteral("Источник: ") + Utf8(type->source) +
                    QStringLiteral("\nζ отнесён к скорости: ") + Utf8(type->referenceVelocity);
            if (!type->note.empty()) {
                about += QStringLiteral("\n") + Utf8(type->note);
            }
            for (const std::string& id : reading.clamped) {
                if (const FittingParameter* parameter = type->Find(id)) {
                    about +=
                        QStringLiteral("\nПараметр «%1» вне таблицы справочника: взято "
                                       "крайнее значение (%2)")
                            .arg(Utf8(parameter->label),
                                 Utf8(FittingRangeText(*parameter, FittingSymbol(*parameter))));
                }
            }
        }
    }
    ui()->ProblemLbl->setText(problem);
    ui()->ProblemLbl->setVisible(!problem.isEmpty());
    ui()->SourceLbl->setText(about);
    for (const auto& [id, field] : m_fields) {
        const bool bad = id == marked && !problem.isEmpty();
        field->setStyleSheet(bad ? QString::fromLatin1(MarkedField) : QString());
        field->setToolTip(bad ? problem : QString());
    }

    const std::optional<double> total = sum();
    QString sumText;
    if (!total) {
        sumText = QStringLiteral("Σζ: не все местные сопротивления заданы верно");
    } else if (m_typedKms) {
        sumText = QStringLiteral("Σζ = %1 (вручную) + %2 = %3")
                      .arg(ZetaText(*m_typedKms, m_separator), ZetaText(*total, m_separator),
                           ZetaText(*m_typedKms + *total, m_separator));
    } else {
        sumText = QStringLiteral("Σζ = ") + ZetaText(*total, m_separator);
    }
    if (total) {
        const std::string warning = ZetaSumWarning(*total + m_typedKms.value_or(0.0));
        if (!warning.empty()) {
            sumText += QStringLiteral("\nВнимание: ") + Utf8(warning);
        }
    }
    ui()->SumLbl->setText(sumText);
    ui()->ButtonBox->button(QDialogButtonBox::Ok)->setEnabled(acceptable());
}

std::optional<std::vector<FittingUse>>
FittingsDialogPicker::pickFittings(QWidget* owner, const std::vector<FittingUse>& start,
                                   std::optional<double> typedKms) {
    TFittingsForm dialog(owner);
    dialog.setFittings(start);
    dialog.setTypedKms(typedKms);
    if (dialog.exec() != QDialog::Accepted || !dialog.acceptable()) {
        return std::nullopt;
    }
    return dialog.fittings();
}

} // namespace kalvor
