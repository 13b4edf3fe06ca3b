// The main window: inputs, the three duct sections side by side, the size search, tray and menus.
#pragma once

#include "catalogues/CatalogueFile.h"
#include "fittings/FittingsPicker.h"
#include "hydraulics/Formulas.h"
#include "mainwindow/CalculatorSection.h"
#include "mainwindow/CalculatorWindow.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QDialog;
class QLabel;
class QMenu;

namespace Ui {
class TmainForm;
}

namespace kalvor {

class SettingsFields;
class TrayIcon;

namespace test {
struct FormAccess;
}

class TmainForm : public QMainWindow, public CalculatorWindow, public CalculatorSource {
    Q_OBJECT

public:
    // Runs FormCreate under the handler guard. The store is the settings accessor that the
    // program's windows share; FormCreate replaces the accessor it holds at every run.
    explicit TmainForm(std::shared_ptr<SettingsStore> store, QWidget* parent = nullptr);
    ~TmainForm() override; // removes the notification-area icon

    // The other two windows, set by CreateForms once they exist: the settings window with its
    // fields (the air state that every calculation reads), and the catalogue editor. The main
    // window opens them and reads the fields; it owns neither.
    void setSettingsWindow(QDialog* window, const SettingsFields* fields);
    void setCatalogueEditor(QDialog* window);
    // The network window, set by CreateForms: shown and raised from the menu, and closed (with
    // its question about unsaved changes) before the main window closes.
    void setNetworkWindow(QWidget* window);
    // Who shows the dialog "Подбор КМС", set by CreateForms (nullptr: the item does nothing).
    void setFittingsPicker(FittingsPicker* picker) { m_fittingsPicker = picker; }
    const SettingsFields* settingsFields() const;

    // The shared settings accessor.
    SettingsStore& store() { return *m_store; }

    // The sizes of the last parsed size text, in metres.
    double SizeA = 0.0;
    double SizeB = 0.0;

    // Handlers, named as the system names them. Each runs its body under the handler guard.
    bool FormCreate(); // settings accessor, key, the three size lists from the catalogues
    void editChange(); // the recalculation of every result label
    void FindSizesBtnClick() override; // the size search (mainwindow/FindSizesBtnClick.cpp)
    void FormClose(); // saves "PBar", "t", "v", "mm" and "AB" when the window closes

    // FormCreate, then the recalculation once, so that the labels show the results of the sizes
    // that the rebuilt lists put into the boxes. Returns whether FormCreate finished.
    bool reloadSizeLists() override;
    // The three lists rebuilt from the catalogues in the units and side order stored now, without
    // a message: a list whose catalogue cannot be read is emptied. The size texts and the labels
    // are left to the caller (the settings window's apply step runs the size search next).
    void rebuildSizeLists() override;
    void showSideOrder(bool firstSideFirst) override;
    void requestClose() override;
    // The section the network window takes "Из калькулятора" (mainwindow/MainFormSection.cpp).
    CalculatorSection calculatorSection() override;

    // Menu handlers.
    void N2Click();      // popup "Восстановить": back from the notification area
    void CloseMiClick(); // popup "Закрыть"
    void N4Click();      // "Закрыть"
    void N5Click();      // "Настройки": the settings window, modally
    void N6Click(); // "Изменить размеры воздуховодов": the catalogue editor, modally
    void CopyResultsMiClick(); // "Копировать результаты": the results table to the clipboard
    void NetworkMiClick(); // "Расчёт сети": the network window, shown and raised
    // "Подбор КМС…": the fittings' sum, rounded as the box takes it, into "Сумма КМС". The list
    // comes back at the next opening while the box still holds the sum it gave.
    void KmsMiClick();

    // The results on screen with the inputs behind them, tab-separated: a header, one row per
    // shape (name, size text, material, V, R, De, Pd, P as the labels show them), then the
    // flows, the velocity limit, the length, the sum of coefficients and the air state.
    std::string resultsTable() const;

    // The notification-area icon and its popup menu.
    TrayIcon* trayIcon() const { return m_tray.get(); }
    QMenu* popupMenu() const { return m_popupMenu; }
    bool hiddenToTray() const { return m_hiddenToTray; }

    // True once the window has been closed; the program then ends.
    bool closed() const { return m_closed; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend struct test::FormAccess;
    Ui::TmainForm* ui() const { return m_ui.get(); }

    void setUpWindow();
    void setUpInputs();
    void setUpMenus();
    void placeSearchMethodInTabOrder();

    // The bodies of the handlers; they throw what they meet.
    void loadSizeLists();
    // The velocity limit that the last close stored, back in VEdit; a value the box would not
    // take (none, empty, not a number) leaves its design value.
    void restoreVelocity();
    void fillRoundList(const SizeCatalogue& round);
    void fillPairList(QComboBox* box, const SizeCatalogue& pairs);
    void recalculate();
    void saveSettings();

    // Recalculation steps.
    struct CommonInputs {
        double t, PBar, l, KMS;
    };
    CommonInputs readCommonInputs(char decimalSeparator);
    QString airStateText(bool temperature) const;
    bool heightWrittenFirst(); // "AB" non-zero: a flat-oval text reads height, then width
    // The five labels of a rectangular or flat-oval section.
    struct SectionLabels {
        QLabel *V, *R, *De, *Pd, *P;
    };
    SectionLabels rectangularLabels() const;
    SectionLabels flatOvalLabels() const;
    // Parses the size text and writes the section's labels, or their reset texts without a size.
    void recalculateSection(DuctShape shape, const QString& sizeText, int materialIndex,
                            const SectionLabels& labels, char decimalSeparator);
    static void resetSection(const SectionLabels& labels);
    void resetRound();

    // Notification area.
    void hideToTray();
    void restoreFromTray();
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<Ui::TmainForm> m_ui;
    std::shared_ptr<SettingsStore> m_store;
    QPointer<QDialog> m_optionsForm;
    const SettingsFields* m_settingsFields = nullptr; // valid while m_optionsForm is
    QPointer<QDialog> m_ductSizesForm;
    QPointer<QWidget> m_networkForm;
    FittingsPicker* m_fittingsPicker = nullptr;
    std::vector<FittingUse> m_fittings; // the list last taken, and the box text its sum gave
    QString m_fittingsText;
    std::unique_ptr<TrayIcon> m_tray;
    QMenu* m_popupMenu = nullptr;
    bool m_hiddenToTray = false;
    bool m_closed = false;
    bool m_recalculating = false; // a run of editChange is under way
};

} // namespace kalvor
