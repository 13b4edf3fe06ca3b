// The creation of the three windows: main window (shown at once), settings window, catalogue
// editor.
#include "mainwindow/Startup.h"

namespace kalvor {

Forms CreateForms() {
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
