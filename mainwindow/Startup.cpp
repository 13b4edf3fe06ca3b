// The creation of the windows: main window (shown at once), settings window, catalogue editor,
// network window; Qt's own texts in Russian like the rest of the program.
#include "mainwindow/Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kalvor {

bool LoadQtTranslation() {
    static QTranslator* installed = nullptr;
    if (installed != nullptr) {
        return true;
    }
    // Whatever the locale: the program speaks Russian under a point locale too.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false; // the translations are not installed: Qt's English texts remain
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

Forms CreateForms() {
    LoadQtTranslation();
    // One settings accessor for the calculator's three windows; the main window's creation handler
    // renews it.
    auto store = std::make_shared<SettingsStore>();
    Forms forms;
    forms.fittings = std::make_unique<FittingsDialogPicker>();
    forms.mainForm = std::make_unique<TmainForm>(store);
    forms.mainForm->show();
    TmainForm* main = forms.mainForm.get();
    forms.OptionsForm = std::make_unique<TOptionsForm>(store, main, main);
    main->setSettingsWindow(forms.OptionsForm.get(), forms.OptionsForm.get());
    forms.DuctSizesForm = std::make_unique<TDuctSizesForm>(store, main, main);
    main->setCatalogueEditor(forms.DuctSizesForm.get());
    forms.NetworkForm = std::make_unique<TNetworkForm>(main);
    forms.NetworkForm->setFittingsPicker(forms.fittings.get());
    main->setNetworkWindow(forms.NetworkForm.get());
    main->setFittingsPicker(forms.fittings.get());
    return forms;
}

} // namespace kalvor
