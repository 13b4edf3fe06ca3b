// The creation of the program's windows, in their order; main() and the tests share it.
#pragma once

#include "catalogues/DuctSizes.h"
#include "fittings/FittingsForm.h"
#include "mainwindow/MainFormUnit.h"
#include "network/NetworkForm.h"
#include "settings/Options.h"

#include <memory>

namespace kalvor {

struct Forms {
    // The dialog "Подбор КМС" for the main window and the network window; made first, gone last.
    std::unique_ptr<FittingsDialogPicker> fittings;
    std::unique_ptr<TmainForm> mainForm; // shown once created
    std::unique_ptr<TOptionsForm> OptionsForm;
    std::unique_ptr<TDuctSizesForm> DuctSizesForm;
    std::unique_ptr<TNetworkForm> NetworkForm; // not shown until "Расчёт сети"
};

// Installs Qt's Russian translation once (context menus, standard dialog buttons); false when it
// is not installed on this machine.
bool LoadQtTranslation();

// The main window, the settings window, the catalogue editor and the network window, in this
// order, after Qt's Russian translation. The settings window's creation loads the settings into
// both windows, so it comes after the main window.
Forms CreateForms();

} // namespace kalvor
