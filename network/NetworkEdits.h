// Every edit of a network and its rules, each returning what it changed as a NetworkChange that
// undo takes back and redo does again, without a copy of the whole network.
#pragma once

#include "network/Network.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kalvor {

// The network's own fields, apart from its sections.
struct NetworkFields {
    std::string name;
    AirState air;
    double Vmax = 6.0;
    double tolerance = 10.0;
    double reserve = 10.0;
    bool operator==(const NetworkFields&) const = default;
};

NetworkFields FieldsOf(const Network& network);

// What an edit changed. Apply sets the touched sections to their `after` (indexes of the network
// before the edit; none of them is removed), takes out the removed ones (indexes of the network
// before, ascending), puts the inserted ones in at `place` (an index once the removed are out) and
// sets the fields; Revert does the reverse.
struct NetworkChange {
    struct Touched {
        std::size_t index = 0;
        NetworkSection before, after;
        bool operator==(const Touched&) const = default;
    };
    struct Removed {
        std::size_t index = 0;
        NetworkSection section;
        bool operator==(const Removed&) const = default;
    };
    std::optional<NetworkFields> fieldsBefore, fieldsAfter; // both or neither
    std::vector<Touched> touched;                           // by index, ascending
    std::vector<Removed> removed;
    std::size_t place = 0;
    std::vector<NetworkSection> inserted;

    bool empty() const; // nothing changes
    bool operator==(const NetworkChange&) const = default;
};

void Apply(Network& network, const NetworkChange& change);
void Revert(Network& network, const NetworkChange& change);

// Folds `later`, made on the network that `first` leaves, into `first` as one change; false (and
// nothing folded) when either adds or removes sections.
bool Merge(NetworkChange& first, const NetworkChange& later);

// The change that turns `before` into `after`: the fields, and the sections between the longest
// equal beginning and end of both lists.
NetworkChange Difference(const Network& before, const Network& after);

// ---- Sections added ----------------------------------------------------------------------------

// A new section: rectangular, sized from the catalogue, steel, no length, losses or air yet.
NetworkSection NewSection(std::string id, std::string parent);

// A new section's id: the next whole number after the largest id of digits only (at most nine).
std::string NextSectionId(const Network& network);

// The section a new one hangs from: the current one (NoSection for none), else the root, else the
// first; "" in an empty network.
std::string ParentForNew(const Network& network, std::size_t current);

// The section put in at `place` (at most the count of sections).
NetworkChange AddSection(const Network& network, std::size_t place, NetworkSection section);

// A new section at the end, hanging from the current one (or as ParentForNew says).
NetworkChange AddNewSection(const Network& network, std::size_t current);

// A new section above the current one, hanging from the same section; above the root, from the
// root. Without a current section: as AddNewSection.
NetworkChange InsertNewSection(const Network& network, std::size_t current);

// Sections pasted after the current one (at the end without one). An id already taken, or empty,
// gets the next whole number, and the pasted sections hanging from it follow; a section whose
// parent is neither in the network nor among the pasted, and a pasted root when the network has
// sections, hangs from the current section (the first one without a current).
NetworkChange PasteSections(const Network& network, std::vector<NetworkSection> sections,
                            std::size_t current);

// ---- Sections removed and moved ----------------------------------------------------------------

// The sections at the rows given; what hung from one hangs from the first section above it that
// stays ("" when none does).
NetworkChange DeleteSections(const Network& network, std::vector<std::size_t> rows);

// The section at row swapped with the one above (up) or below; nothing at the list's ends.
NetworkChange MoveSection(const Network& network, std::size_t row, bool up);

// ---- A section's fields ------------------------------------------------------------------------

// The id; the sections hanging from the section follow it unless another section had its old id.
NetworkChange RenameSection(const Network& network, std::size_t row, std::string id);
NetworkChange SetParent(const Network& network, std::size_t row, std::string parent);
// The shape; a material the shape does not offer becomes 0, a size it cannot have "auto".
NetworkChange SetShape(const Network& network, std::size_t row, DuctShape shape);
// The size text; "" is "auto".
NetworkChange SetSize(const Network& network, std::size_t row, std::string size);
NetworkChange SetMaterial(const Network& network, std::size_t row, int material);

enum class SectionNumber { Flow, Length, Kms, Vmax };
// A number; none is 0, or for Vmax the network's.
NetworkChange SetNumber(const Network& network, std::size_t row, SectionNumber field,
                        std::optional<double> value);
NetworkChange SetFittings(const Network& network, std::size_t row,
                          std::vector<FittingUse> fittings);

// The sections whose size is "auto", in file order.
std::vector<std::size_t> AutoSections(const Network& network);

// The sizes the computation chooses for the rows set to "auto" (every "auto" section when rows is
// empty), with the catalogues of `folder`, put in as the rows' sizes. Throws NetworkError when
// the network with those rows "auto" cannot be computed.
NetworkChange CatalogueSizes(const Network& network, std::vector<std::size_t> rows,
                             const std::string& folder);

// ---- The network's own fields ------------------------------------------------------------------

NetworkChange SetFields(const Network& network, NetworkFields fields);

} // namespace kalvor
