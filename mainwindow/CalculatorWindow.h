// What the settings window and the catalogue editor ask of the main window, and nothing more.
#pragma once

namespace kalvor {

class CalculatorWindow {
public:
    // The headings of the two-sided size boxes ("AxB" or "BxA") and the search-method items in
    // that order, the standard method selected.
    virtual void showSideOrder(bool firstSideFirst) = 0;
    // The three size lists rebuilt in the units and side order stored now, without a message.
    virtual void rebuildSizeLists() = 0;
    // The main window's creation handler again, then the recalculation; false when the handler
    // stopped on an error.
    virtual bool reloadSizeLists() = 0;
    // The size search, as the search button runs it.
    virtual void FindSizesBtnClick() = 0;
    // Closes the main window, which ends the program.
    virtual void requestClose() = 0;

protected:
    ~CalculatorWindow() = default;
};

} // namespace kalvor
