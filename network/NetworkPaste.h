// Sections from rows copied out of a spreadsheet or out of the network's own table.
#pragma once

#include "network/Network.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// The heading of the window's column of a section's own Vmax.
inline constexpr std::string_view VmaxHeading = "Vmax, м/с";

// A shape by its Russian name, file key or number; a material of the shape by its Russian name or
// number (empty: 0); nullopt for any other text.
std::optional<DuctShape> ShapeFromText(const std::string& text);
std::optional<int> MaterialFromText(DuctShape shape, const std::string& text);

// Sections read from tab-separated lines (CRLF or LF). A first line of headings as the table shows
// them ("№ уч.", "От уч.", "Форма", "Размер, мм", "Материал", "L, м³/ч", "l, м", "Σζ", "Vmax, м/с")
// says which field is which, other headings being skipped; then "L, м³/ч" is the flow through
// the section, as the table shows it, and the section's own flow is that less the flows of the
// pasted sections hanging from it. Without headings the fields are, in order, id, parent, shape,
// size, material, the section's own flow, length, Σζ and Vmax. Shapes and materials are taken
// by their Russian names, file keys or numbers; a size as "auto", "500*300", "500×300" or with
// the table's "(auto)" mark (then "auto"); numbers with "." or the given separator; an empty
// number is 0, an empty Vmax the network's. Throws Error naming the line and the column for a
// field that cannot be read, and for a text without a section.
std::vector<NetworkSection> SectionsFromRows(std::string_view text, char decimalSeparator);

} // namespace kalvor
