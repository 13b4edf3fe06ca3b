// The creation of the three windows: main window (shown at once), settings window, catalogue
// editor; Qt's own texts in Russian like the rest of the program.
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
    Forms forms;
    forms.mainForm = std::make_unique<TmainForm>();
    forms.mainForm->show();
    // The two modal windows are children of the main window, which centres them over itself;
    // they are released before it (members go in reverse order).
    forms.OptionsForm = std::make_unique<TOptionsForm>(forms.mainForm.get(), forms.mainForm.get());
    forms.mainForm->setOptionsForm(forms.OptionsForm.get());
    forms.DuctSizesForm =
        std::make_unique<TDuctSizesForm>(forms.mainForm.get(), forms.mainForm.get());
    forms.mainForm->setDuctSizesForm(forms.DuctSizesForm.get());
    return forms;
}

} // namespace kalvor
