// What the settings window holds for the main window: the live air state, and the units and
// side order as chosen in its fields.
#pragma once

#include <QString>

#include <string_view>

namespace kalvor {

class SettingsStore;

class SettingsFields {
public:
    virtual QString temperatureText() const = 0; // the air temperature as typed, °C
    virtual QString pressureText() const = 0;    // the barometric pressure as typed, hPa
    virtual int unitsIndex() const = 0;          // 0 metres, 1 millimetres, -1 none chosen
    virtual int sideOrderIndex() const = 0;      // 0 "AxB", 1 "BxA", -1 none chosen
    // Whether the field of that value ("mm", "AB", "t", "PBar") may replace what the store
    // holds: it was loaded or changed by the user, or nothing is stored yet.
    virtual bool mayStore(SettingsStore& store, std::string_view name) const = 0;

protected:
    ~SettingsFields() = default;
};

} // namespace kalvor
