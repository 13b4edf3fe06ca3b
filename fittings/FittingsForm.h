// The dialog "Подбор КМС": a section's fittings, each with its parameters, its ζ and its source,
// and their sum, for the calculator's "Сумма КМС" box or a section of the network.
#pragma once

#include "fittings/Fittings.h"
#include "fittings/FittingsPicker.h"
#include "widgets/ModalDialog.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QWidget;

namespace Ui {
class TFittingsForm;
}

namespace kalvor {

namespace test {
struct FormAccess;
}

class TFittingsForm : public ModalDialog {
    Q_OBJECT

public:
    // owner: the window the dialog stands over and blocks while it is open.
    explicit TFittingsForm(QWidget* owner);
    ~TFittingsForm() override;

    // The list the dialog starts with. A fitting whose values cannot be used is kept and marked.
    void setFittings(const std::vector<FittingUse>& fittings);
    // The list as it stands; use it once acceptable() holds.
    std::vector<FittingUse> fittings() const;
    // The coefficient typed by hand beside the fittings (a network section's Σζ), shown in the
    // total; nullopt where there is none (the calculator's box takes the fittings' sum alone).
    void setTypedKms(std::optional<double> kms);

    // Σ count·ζ of the fittings, or nullopt while one of them cannot be used.
    std::optional<double> sum() const;
    // Every fitting can be used and the count box holds a count: OK is available.
    bool acceptable() const { return sum().has_value() && countProblem().isEmpty(); }

    // A fitting of the type (at its default values) added at the end and made current.
    void addFitting(std::string_view typeId);
    void removeCurrent();
    int current() const;
    void setCurrent(int row);

protected:
    bool closeRequested() override { return true; }
    void reject() override; // Escape and "Отмена" cancel, as in any dialog with OK

private:
    friend struct test::FormAccess;
    Ui::TFittingsForm* ui() const { return m_ui.get(); }

    // One fitting as the user typed it: the texts of its parameters by id, and its count.
    struct Entry {
        std::string type;
        std::map<std::string, QString> texts;
        int count = 1;
    };
    // What an entry gives: its parameters read, its ζ, or why it cannot be used.
    struct Reading {
        FittingUse use;
        std::optional<double> zeta;
        std::vector<std::string> clamped;
        QString problem;
        std::string parameter; // the parameter the problem is in; "" for the type itself
    };
    Reading read(const Entry& entry) const;
    // Why the count box's text is no count it takes ("" when it is one, or no fitting is shown).
    QString countProblem() const;

    void fillTypes();
    void showList();
    void showRow(int row);
    void showFields(); // the current fitting's parameter fields, made anew
    void showState();  // problem, source, marked field, sum and OK after any change
    void fieldEdited(const std::string& parameter, const QString& text);
    void countEdited(int count);

    std::unique_ptr<Ui::TFittingsForm> m_ui;
    std::vector<Entry> m_entries;
    std::optional<double> m_typedKms;
    std::map<std::string, QWidget*> m_fields; // the current fitting's editors by parameter id
    char m_separator;
};

// The picker that shows the dialog "Подбор КМС" and waits for its answer.
class FittingsDialogPicker : public FittingsPicker {
public:
    std::optional<std::vector<FittingUse>> pickFittings(QWidget* owner,
                                                        const std::vector<FittingUse>& start,
                                                        std::optional<double> typedKms) override;
};

} // namespace kalvor
