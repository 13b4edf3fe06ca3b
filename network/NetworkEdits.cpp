// The edits of a network: each finds what it changes without changing the network, and Apply and
// Revert carry a change out either way.
#include "network/NetworkEdits.h"

#include "common/NumberText.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace kalvor {

NetworkFields FieldsOf(const Network& network) {
    return {network.name, network.air, network.Vmax, network.tolerance, network.reserve};
}

namespace {

void SetFieldsOf(Network& network, const NetworkFields& fields) {
    network.name = fields.name;
    network.air = fields.air;
    network.Vmax = fields.Vmax;
    network.tolerance = fields.tolerance;
    network.reserve = fields.reserve;
}

// The sections an edit touches, each copied once as it was; the edit changes the copies.
class Touching {
public:
    explicit Touching(const Network& network)
        : m_network(network) {}

    NetworkSection& operator[](std::size_t index) {
        const auto [at, added] = m_at.emplace(index, m_change.touched.size());
        if (added) {
            const NetworkSection& section = m_network.sections[index];
            m_change.touched.push_back({index, section, section});
        }
        return m_change.touched[at->second].after;
    }

    // The change: only the sections that differ from what they were, by index.
    NetworkChange take() {
        std::erase_if(m_change.touched, [](const auto& t) { return t.before == t.after; });
        std::sort(m_change.touched.begin(), m_change.touched.end(),
                  [](const auto& a, const auto& b) { return a.index < b.index; });
        return std::move(m_change);
    }

private:
    const Network& m_network;
    NetworkChange m_change;
    std::unordered_map<std::size_t, std::size_t> m_at;
};

bool CountingId(const std::string& id) {
    return !id.empty() && id.size() <= 9 &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int LargestCountingId(const std::vector<NetworkSection>& sections, int largest = 0) {
    for (const NetworkSection& section : sections) {
        if (CountingId(section.id)) {
            largest = std::max(largest, ParseInteger(section.id));
        }
    }
    return largest;
}

bool Within(const Network& network, std::size_t row) {
    return row < network.sections.size();
}

} // namespace

bool NetworkChange::empty() const {
    return fieldsBefore == fieldsAfter && touched.empty() && removed.empty() && inserted.empty();
}

void Apply(Network& network, const NetworkChange& change) {
    std::vector<NetworkSection>& sections = network.sections;
    for (const NetworkChange::Touched& t : change.touched) {
        sections[t.index] = t.after;
    }
    if (!change.removed.empty()) {
        std::size_t kept = 0, next = 0;
        for (std::size_t i = 0; i < sections.size(); ++i) {
            if (next < change.removed.size() && change.removed[next].index == i) {
                ++next;
                continue;
            }
            if (kept != i) {
                sections[kept] = std::move(sections[i]);
            }
            ++kept;
        }
        sections.resize(kept);
    }
    sections.insert(sections.begin() + static_cast<std::ptrdiff_t>(change.place),
                    change.inserted.begin(), change.inserted.end());
    if (change.fieldsAfter) {
        SetFieldsOf(network, *change.fieldsAfter);
    }
}

void Revert(Network& network, const NetworkChange& change) {
    std::vector<NetworkSection>& sections = network.sections;
    const auto from = sections.begin() + static_cast<std::ptrdiff_t>(change.place);
    sections.erase(from, from + static_cast<std::ptrdiff_t>(change.inserted.size()));
    if (!change.removed.empty()) {
        std::vector<NetworkSection> whole;
        whole.reserve(sections.size() + change.removed.size());
        std::size_t next = 0, kept = 0;
        while (kept < sections.size() || next < change.removed.size()) {
            if (next < change.removed.size() && change.removed[next].index == whole.size()) {
                whole.push_back(change.removed[next++].section);
            } else {
                whole.push_back(std::move(sections[kept++]));
            }
        }
        sections = std::move(whole);
    }
    for (const NetworkChange::Touched& t : change.touched) {
        sections[t.index] = t.before;
    }
    if (change.fieldsBefore) {
        SetFieldsOf(network, *change.fieldsBefore);
    }
}

bool Merge(NetworkChange& first, const NetworkChange& later) {
    if (!first.removed.empty() || !first.inserted.empty() || !later.removed.empty() ||
        !later.inserted.empty()) {
        return false;
    }
    if (later.fieldsAfter) {
        if (!first.fieldsBefore) {
            first.fieldsBefore = later.fieldsBefore;
        }
        first.fieldsAfter = later.fieldsAfter;
    }
    for (const NetworkChange::Touched& t : later.touched) {
        const auto same = std::find_if(first.touched.begin(), first.touched.end(),
                                       [&](const auto& f) { return f.index == t.index; });
        if (same != first.touched.end()) {
            same->after = t.after;
        } else {
            first.touched.push_back(t);
        }
    }
    std::erase_if(first.touched, [](const auto& t) { return t.before == t.after; });
    std::sort(first.touched.begin(), first.touched.end(),
              [](const auto& a, const auto& b) { return a.index < b.index; });
    return true;
}

NetworkChange Difference(const Network& before, const Network& after) {
    NetworkChange change;
    if (!(FieldsOf(before) == FieldsOf(after))) {
        change.fieldsBefore = FieldsOf(before);
        change.fieldsAfter = FieldsOf(after);
    }
    const std::vector<NetworkSection>& a = before.sections;
    const std::vector<NetworkSection>& b = after.sections;
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
        ++tail;
    }
    if (a.size() == b.size()) {
        for (std::size_t i = head; i < a.size() - tail; ++i) {
            if (!(a[i] == b[i])) {
                change.touched.push_back({i, a[i], b[i]});
            }
        }
        return change;
    }
    for (std::size_t i = head; i < a.size() - tail; ++i) {
        change.removed.push_back({i, a[i]});
    }
    change.place = head;
    change.inserted.assign(b.begin() + static_cast<std::ptrdiff_t>(head),
                           b.end() - static_cast<std::ptrdiff_t>(tail));
    return change;
}

// ---- Sections added ----------------------------------------------------------------------------

NetworkSection NewSection(std::string id, std::string parent) {
    NetworkSection section;
    section.id = std::move(id);
    section.parent = std::move(parent);
    section.size = std::string(AutoSize);
    return section;
}

std::string NextSectionId(const Network& network) {
    return FormatNumber(static_cast<double>(LargestCountingId(network.sections)) + 1.0, '.');
}

std::string ParentForNew(const Network& network, std::size_t current) {
    if (Within(network, current)) {
        return network.sections[current].id;
    }
    for (const NetworkSection& section : network.sections) {
        if (section.parent.empty()) {
            return section.id;
        }
    }
    return network.sections.empty() ? std::string() : network.sections.front().id;
}

NetworkChange AddSection(const Network& network, std::size_t place, NetworkSection section) {
    NetworkChange change;
    change.place = std::min(place, network.sections.size());
    change.inserted.push_back(std::move(section));
    return change;
}

NetworkChange AddNewSection(const Network& network, std::size_t current) {
    return AddSection(network, network.sections.size(),
                      NewSection(NextSectionId(network), ParentForNew(network, current)));
}

NetworkChange InsertNewSection(const Network& network, std::size_t current) {
    if (!Within(network, current)) {
        return AddNewSection(network, current);
    }
    const NetworkSection& at = network.sections[current];
    return AddSection(network, current,
                      NewSection(NextSectionId(network), at.parent.empty() ? at.id : at.parent));
}

NetworkChange PasteSections(const Network& network, std::vector<NetworkSection> sections,
                            std::size_t current) {
    std::unordered_set<std::string_view> present;
    for (const NetworkSection& section : network.sections) {
        present.insert(section.id);
    }
    std::set<std::string> taken(present.begin(), present.end());
    int largest = LargestCountingId(sections, LargestCountingId(network.sections));
    std::map<std::string, std::string> renamed;
    for (NetworkSection& section : sections) {
        if (section.id.empty() || taken.count(section.id) != 0) {
            const std::string id = std::to_string(++largest);
            if (!section.id.empty()) {
                renamed[section.id] = id;
            }
            section.id = id;
        }
        taken.insert(section.id);
    }
    std::set<std::string> pasted;
    for (NetworkSection& section : sections) {
        if (const auto found = renamed.find(section.parent); found != renamed.end()) {
            section.parent = found->second;
        }
        pasted.insert(section.id);
    }
    std::string anchor;
    if (Within(network, current)) {
        anchor = network.sections[current].id;
    } else if (!network.sections.empty()) {
        anchor = network.sections.front().id;
    }
    for (NetworkSection& section : sections) {
        const bool known = pasted.count(section.parent) != 0 || present.count(section.parent) != 0;
        if (!known || (section.parent.empty() && !anchor.empty())) {
            section.parent = anchor;
        }
    }
    NetworkChange change;
    change.place = Within(network, current) ? current + 1 : network.sections.size();
    change.inserted = std::move(sections);
    return change;
}

// ---- Sections removed and moved ----------------------------------------------------------------

NetworkChange DeleteSections(const Network& network, std::vector<std::size_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [&](std::size_t row) { return !Within(network, row); });
    std::map<std::string, std::string> goneParent;
    for (const std::size_t row : rows) {
        goneParent.emplace(network.sections[row].id, network.sections[row].parent);
    }
    Touching touching(network);
    NetworkChange removing;
    std::size_t next = 0;
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        if (next < rows.size() && rows[next] == i) {
            removing.removed.push_back({i, network.sections[i]});
            ++next;
            continue;
        }
        std::string parent = network.sections[i].parent;
        std::set<std::string> passed; // a ring of deleted sections ends the walk
        for (auto gone = goneParent.find(parent);
             gone != goneParent.end() && passed.insert(gone->first).second;
             gone = goneParent.find(parent)) {
            parent = gone->second;
        }
        if (parent != network.sections[i].parent) {
            touching[i].parent = std::move(parent);
        }
    }
    NetworkChange change = touching.take();
    change.removed = std::move(removing.removed);
    return change;
}

NetworkChange MoveSection(const Network& network, std::size_t row, bool up) {
    if (!Within(network, row) || (up && row == 0) || (!up && row + 1 >= network.sections.size())) {
        return {};
    }
    const std::size_t other = up ? row - 1 : row + 1;
    Touching touching(network);
    touching[row] = network.sections[other];
    touching[other] = network.sections[row];
    return touching.take();
}

// ---- A section's fields ------------------------------------------------------------------------

NetworkChange RenameSection(const Network& network, std::size_t row, std::string id) {
    if (!Within(network, row)) {
        return {};
    }
    const std::string old = network.sections[row].id;
    Touching touching(network);
    touching[row].id = id;
    std::size_t holders = 0; // of the old id, once the section is renamed
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        holders += i != row && network.sections[i].id == old;
    }
    if (holders == 0 && !old.empty() && old != id) {
        for (std::size_t i = 0; i < network.sections.size(); ++i) {
            if (network.sections[i].parent == old) {
                touching[i].parent = id;
            }
        }
    }
    return touching.take();
}

NetworkChange SetParent(const Network& network, std::size_t row, std::string parent) {
    if (!Within(network, row)) {
        return {};
    }
    Touching touching(network);
    touching[row].parent = std::move(parent);
    return touching.take();
}

NetworkChange SetShape(const Network& network, std::size_t row, DuctShape shape) {
    if (!Within(network, row)) {
        return {};
    }
    Touching touching(network);
    NetworkSection& section = touching[row];
    section.shape = shape;
    // The material and size of another shape do not carry over where they do not fit.
    if (section.material >= MaterialCount(shape)) {
        section.material = 0;
    }
    if (!ParseSectionSize(shape, section.size)) {
        section.size = std::string(AutoSize);
    }
    return touching.take();
}

NetworkChange SetSize(const Network& network, std::size_t row, std::string size) {
    if (!Within(network, row)) {
        return {};
    }
    Touching touching(network);
    touching[row].size = size.empty() ? std::string(AutoSize) : std::move(size);
    return touching.take();
}

NetworkChange SetMaterial(const Network& network, std::size_t row, int material) {
    if (!Within(network, row)) {
        return {};
    }
    Touching touching(network);
    touching[row].material = material;
    return touching.take();
}

NetworkChange SetNumber(const Network& network, std::size_t row, SectionNumber field,
                        std::optional<double> value) {
    if (!Within(network, row)) {
        return {};
    }
    Touching touching(network);
    NetworkSection& section = touching[row];
    switch (field) {
    case SectionNumber::Flow:
        section.flow = value.value_or(0.0);
        break;
    case SectionNumber::Length:
        section.length = value.value_or(0.0);
        break;
    case SectionNumber::Kms:
        section.kms = value.value_or(0.0);
        break;
    case SectionNumber::Vmax:
        section.Vmax = value; // none: the network's
        break;
    }
    return touching.take();
}

NetworkChange SetFittings(const Network& network, std::size_t row,
                          std::vector<FittingUse> fittings) {
    if (!Within(network, row)) {
        return {};
    }
    Touching touching(network);
    touching[row].fittings = std::move(fittings);
    return touching.take();
}

std::vector<std::size_t> AutoSections(const Network& network) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        if (network.sections[i].size == AutoSize) {
            rows.push_back(i);
        }
    }
    return rows;
}

NetworkChange CatalogueSizes(const Network& network, std::vector<std::size_t> rows,
                             const std::string& folder) {
    if (rows.empty()) {
        rows = AutoSections(network);
    }
    std::erase_if(rows, [&](std::size_t row) { return !Within(network, row); });
    if (rows.empty()) {
        return {};
    }
    Network probe = network;
    for (const std::size_t row : rows) {
        probe.sections[row].size = std::string(AutoSize);
    }
    const NetworkResults chosen = ComputeNetwork(probe, ReadNetworkCatalogues(probe, folder));
    Touching touching(network);
    for (const std::size_t row : rows) {
        NetworkSection& section = touching[row];
        section.size =
            SectionSizeText(section.shape, chosen.sections[row].A, chosen.sections[row].B);
    }
    return touching.take();
}

// ---- The network's own fields ------------------------------------------------------------------

NetworkChange SetFields(const Network& network, NetworkFields fields) {
    NetworkChange change;
    if (!(FieldsOf(network) == fields)) {
        change.fieldsBefore = FieldsOf(network);
        change.fieldsAfter = std::move(fields);
    }
    return change;
}

} // namespace kalvor
