// The start-up check of the settings file: one that cannot be used is set aside, and said so.
#pragma once

class QWidget;

namespace kalvor {

// Runs before anything writes the settings. When the user's hive is there but cannot be read or
// understood, moves it aside and tells the user in the standard error box, naming the file and
// the place it was kept; a fresh hive then starts with the settings key, as after a first start.
// When it cannot even be moved, says that it stays as it is (and no setting is saved over it).
// Returns whether a box was shown.
bool ReportUnusableSettings(QWidget* parent);

} // namespace kalvor
