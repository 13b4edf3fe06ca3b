// Reading sections out of copied table rows.
#include "network/NetworkPaste.h"

#include "common/NumberText.h"
#include "network/NetworkTable.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace kalvor {

namespace {

enum Field { Id, Parent, Shape, Size, Material, Flow, Length, Kms, Vmax, Fields };

const char* const FieldHeadings[Fields] = {"№ уч.",   "От уч.", "Форма", "Размер, мм", "Материал",
                                           "L, м³/ч", "l, м",   "Σζ",    "Vmax, м/с"};

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

std::string Trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(" \t\r\"");
    const std::size_t last = text.find_last_not_of(" \t\r\"");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

class RowReader {
public:
    RowReader(std::size_t line, char separator)
        : m_line(line)
        , m_separator(separator) {}

    [[noreturn]] void Refuse(Field field, const std::string& text, const std::string& why) const {
        throw Error("строка " + std::to_string(m_line) + ", столбец «" + FieldHeadings[field] +
                    "»: «" + text + "» — " + why);
    }

    double Number(Field field, const std::string& text) const {
        if (text.empty()) {
            return 0.0;
        }
        std::string number = text;
        ReplaceAll(number, " ", "");
        ReplaceAll(number, "\xC2\xA0", ""); // a no-break space grouping digits
        std::replace(number.begin(), number.end(), m_separator, '.');
        std::replace(number.begin(), number.end(), ',', '.');
        try {
            return ParseNumber(number, '.');
        } catch (const ConversionError&) {
            Refuse(field, text, "не число");
        }
    }

    DuctShape ShapeOf(const std::string& text) const {
        const std::optional<DuctShape> shape = ShapeFromText(text);
        if (!shape) {
            Refuse(Shape, text, "не форма воздуховода (прямоугольный, плоскоовальный или круглый)");
        }
        return *shape;
    }

    int MaterialOf(DuctShape shape, const std::string& text) const {
        const std::optional<int> material = MaterialFromText(shape, text);
        if (!material) {
            Refuse(Material, text,
                   "нет такого материала для формы «" + std::string(ShapeName(shape)) + "»");
        }
        return *material;
    }

    std::string SizeOf(DuctShape shape, std::string text) const {
        if (text.empty() || text.ends_with("(auto)") || text.ends_with("¹")) {
            return std::string(AutoSize);
        }
        ReplaceAll(text, " ", "");
        ReplaceAll(text, "×", "*");
        ReplaceAll(text, "х", "*"); // the Cyrillic letter typed for "x"
        std::replace(text.begin(), text.end(), 'x', '*');
        std::replace(text.begin(), text.end(), m_separator, '.');
        std::replace(text.begin(), text.end(), ',', '.');
        std::string problem;
        if (!ParseSectionSize(shape, text, &problem)) {
            Refuse(Size, text, problem);
        }
        return text;
    }

private:
    std::size_t m_line;
    char m_separator;
};

} // namespace

std::optional<DuctShape> ShapeFromText(const std::string& text) {
    for (const DuctShape shape : {DuctShape::Rectangular, DuctShape::FlatOval, DuctShape::Round}) {
        if (text == ShapeName(shape) || text == ShapeKey(shape) ||
            text == std::to_string(static_cast<int>(shape))) {
            return shape;
        }
    }
    return std::nullopt;
}

std::optional<int> MaterialFromText(DuctShape shape, const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    for (int material = 0; material < MaterialCount(shape); ++material) {
        if (text == MaterialName(material) || text == std::to_string(material)) {
            return material;
        }
    }
    return std::nullopt;
}

std::vector<NetworkSection> SectionsFromRows(std::string_view text, char separator) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string line(text.substr(start, end - start));
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    if (!lines.empty() && lines.front().starts_with("\xEF\xBB\xBF")) {
        lines.front().erase(0, 3);
    }

    // Which field stands in which column: as the headings say, or in the inputs' order.
    std::vector<std::optional<Field>> columns;
    std::size_t first = 0;
    bool throughFlow = false;
    const std::vector<std::string> heads =
        lines.empty() ? std::vector<std::string>{} : Split(lines.front());
    if (!heads.empty() && Trimmed(heads.front()) == FieldHeadings[Id]) {
        for (const std::string& head : heads) {
            const std::string name = Trimmed(head);
            const auto found = std::find(std::begin(FieldHeadings), std::end(FieldHeadings), name);
            columns.push_back(
                found != std::end(FieldHeadings)
                    ? std::optional<Field>(static_cast<Field>(found - std::begin(FieldHeadings)))
                    : std::nullopt);
        }
        first = 1;
        throughFlow = true;
    } else {
        for (int field = 0; field < Fields; ++field) {
            columns.push_back(static_cast<Field>(field));
        }
    }

    std::vector<NetworkSection> sections;
    for (std::size_t l = first; l < lines.size(); ++l) {
        if (Trimmed(lines[l]).empty()) {
            continue;
        }
        const RowReader reader(l + 1, separator);
        std::map<Field, std::string> fields;
        const std::vector<std::string> cells = Split(lines[l]);
        for (std::size_t c = 0; c < cells.size() && c < columns.size(); ++c) {
            if (columns[c]) {
                fields[*columns[c]] = Trimmed(cells[c]);
            }
        }
        NetworkSection& section = sections.emplace_back();
        section.id = fields[Id];
        section.parent = fields[Parent];
        section.shape =
            fields[Shape].empty() ? DuctShape::Rectangular : reader.ShapeOf(fields[Shape]);
        section.size = reader.SizeOf(section.shape, fields[Size]);
        section.material = reader.MaterialOf(section.shape, fields[Material]);
        section.flow = reader.Number(Flow, fields[Flow]);
        section.length = reader.Number(Length, fields[Length]);
        section.kms = reader.Number(Kms, fields[Kms]);
        if (!fields[Vmax].empty()) {
            section.Vmax = reader.Number(Vmax, fields[Vmax]);
        }
    }
    if (sections.empty()) {
        throw Error("в тексте нет ни одного участка");
    }
    if (throughFlow) {
        // The table shows the flow through a section; its own is what its pasted branches leave.
        std::vector<double> own(sections.size());
        for (std::size_t i = 0; i < sections.size(); ++i) {
            own[i] = sections[i].flow;
            for (const NetworkSection& other : sections) {
                if (!other.parent.empty() && other.parent == sections[i].id) {
                    own[i] -= other.flow;
                }
            }
        }
        for (std::size_t i = 0; i < sections.size(); ++i) {
            sections[i].flow =
                std::abs(own[i]) < 1e-9 * std::max(1.0, sections[i].flow) ? 0.0 : own[i];
        }
    }
    return sections;
}

} // namespace kalvor
