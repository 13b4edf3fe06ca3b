// The network's table in the Russian form, its text report and its CSV.
#include "network/NetworkTable.h"

#include "common/NumberText.h"
#include "hydraulics/AirRange.h"
#include "network/NetworkWarnings.h"

#include <algorithm>
#include <charconv>

namespace kalvor {

std::string FixedNumber(double value, int decimals, char decimalSeparator) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text = ec == std::errc() ? std::string(buffer, end) : FormatNumber(value, '.');
    if (text.size() > MaxFixedWidth) {
        // Wider than any column: the same value with 4 significant digits and its exponent.
        const auto [shortEnd, shortEc] =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 3);
        text = shortEc == std::errc() ? std::string(buffer, shortEnd) : FormatNumber(value, '.');
        const std::size_t e = text.find('e');
        if (e != std::string::npos) {
            std::string exponent = text.substr(e + 1);
            const bool negative = exponent.starts_with('-');
            exponent.erase(0, exponent.find_first_not_of("+-"));
            exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
            text = text.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
        }
    }
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1); // a value that rounds to 0 shows no sign
    }
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

namespace {

enum Column {
    Id,
    Parent,
    Shape,
    Size,
    Material,
    Flow,
    Length,
    Kms,
    F,
    De,
    V,
    R,
    Rl,
    Pd,
    Z,
    P,
    Path,
    Imbalance
};

FormCell Number(double value, int decimals, char separator) {
    return {decimals < 0 ? FormatNumber(value, separator) : FixedNumber(value, decimals, separator),
            value};
}

// At most maxNamed of the count items, joined by ", ", the rest counted: "5, 7, 12 и ещё 38".
// Only the items named are made.
template <typename Name> std::string Named(std::size_t count, std::size_t maxNamed, Name name) {
    const std::size_t shown = std::min(count, std::max<std::size_t>(maxNamed, 1));
    std::string text;
    for (std::size_t k = 0; k < shown; ++k) {
        text += (k == 0 ? "" : ", ") + name(k);
    }
    if (shown < count) {
        text += " и ещё " + std::to_string(count - shown);
    }
    return text;
}

std::string Ids(const Network& network, const std::vector<std::size_t>& sections,
                std::size_t maxNamed) {
    return Named(sections.size(), maxNamed,
                 [&](std::size_t k) { return network.sections[sections[k]].id; });
}

std::string MainPath(const Network& network, const std::vector<std::size_t>& path,
                     std::size_t maxNamed) {
    // Cut only when it leaves out one section at least: the last is named either way.
    const bool cut = path.size() > 1 && path.size() - 1 > std::max<std::size_t>(maxNamed, 1);
    const std::size_t shown = cut ? std::max<std::size_t>(maxNamed, 1) : path.size();
    std::string text;
    for (std::size_t k = 0; k < shown; ++k) {
        text += (k == 0 ? "" : " → ") + network.sections[path[k]].id;
    }
    if (cut) {
        text += " → … → " + network.sections[path.back()].id + " (всего " +
                std::to_string(path.size()) + " уч.)";
    }
    return text;
}

} // namespace

const std::vector<FormColumn>& NetworkFormColumns() {
    static const std::vector<FormColumn> columns = {
        {"№ уч.", false, 0},      {"От уч.", false, 0},   {"Форма", false, 0},
        {"Размер, мм", false, 0}, {"Материал", false, 0}, {"L, м³/ч", true, -1},
        {"l, м", true, -1},       {"Σζ", true, 2},        {"F, м²", true, 4},
        {"De, м", true, 3},       {"v, м/с", true, 2},    {"R, Па/м", true, 3},
        {"R·l, Па", true, 2},     {"Pд, Па", true, 2},    {"Z, Па", true, 2},
        {"R·l+Z, Па", true, 2},   {"ΣΔP, Па", true, 2},   {"Невязка, %", true, 1},
    };
    return columns;
}

std::vector<FormCell> NetworkFormRow(const Network& network, const NetworkResults& results,
                                     std::size_t section, char separator) {
    const NetworkSection& s = network.sections.at(section);
    const SectionResult& r = results.sections.at(section);
    const std::vector<FormColumn>& columns = NetworkFormColumns();
    auto number = [&](Column column, double value) {
        return Number(value, columns[column].decimals, separator);
    };
    std::vector<FormCell> row(columns.size());
    row[Id] = {s.id, std::nullopt};
    row[Parent] = {s.parent, std::nullopt};
    row[Shape] = {std::string(ShapeName(s.shape)), std::nullopt};
    row[Size] = {SectionSizeText(s.shape, r.A, r.B), std::nullopt};
    row[Material] = {std::string(MaterialName(s.material)), std::nullopt};
    row[Flow] = number(Flow, r.flow);
    row[Length] = number(Length, s.length);
    row[Kms] = number(Kms, r.kms);
    row[F] = number(F, r.F);
    row[De] = number(De, r.De);
    row[V] = number(V, r.V);
    row[R] = number(R, r.R);
    row[Rl] = number(Rl, r.Rl);
    row[Pd] = number(Pd, r.Pd);
    row[Z] = number(Z, r.Z);
    row[P] = number(P, r.P);
    row[Path] = number(Path, r.path);
    if (r.imbalance) {
        row[Imbalance] = number(Imbalance, *r.imbalance);
    }
    return row;
}

std::vector<std::string> NetworkTitleLines(const Network& network, const NetworkResults& results,
                                           char separator) {
    const std::string name = network.name.empty() ? "без имени" : "«" + network.name + "»";
    return {
        "Аэродинамический расчёт сети " + name,
        "Воздух: t = " + FormatNumber(network.air.t, separator) +
            " °C, PBar = " + FormatNumber(network.air.PBar, separator) + " гПа, плотность " +
            FixedNumber(results.density, 3, separator) +
            " кг/м³; Vmax = " + FormatNumber(network.Vmax, separator) + " м/с",
    };
}

std::vector<std::string> NetworkTotalsLines(const Network& network, const NetworkResults& results,
                                            char separator, std::size_t maxNamed) {
    if (network.sections.empty()) {
        return {"В сети нет участков"};
    }
    const std::string tolerance = FormatNumber(network.tolerance, separator) + " %";
    std::vector<std::string> lines = {
        "Главное направление: " + MainPath(network, results.mainPath, maxNamed),
        "Потери давления на главном направлении: " + FixedNumber(results.mainLoss, 2, separator) +
            " Па",
        "Давление вентилятора с запасом " + FormatNumber(network.reserve, separator) +
            " %: " + FixedNumber(results.fanPressure, 2, separator) + " Па",
    };
    const std::string compared = Named(results.flagged.size(), maxNamed, [&](std::size_t k) {
        const std::size_t i = results.flagged[k];
        return "уч. " + network.sections[i].id + " (" +
               FixedNumber(*results.sections[i].imbalance, 1, separator) + " %)";
    });
    const bool anyCompared = std::any_of(results.sections.begin(), results.sections.end(),
                                         [](const SectionResult& r) { return r.imbalance; });
    lines.push_back(!compared.empty() ? "Невязка выше " + tolerance + ": " + compared
                    : anyCompared ? "Невязка всех ответвлений не выше " + tolerance
                                  : "Ответвлений нет");
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < results.sections.size(); ++i) {
        if (results.sections[i].automatic) {
            chosen.push_back(i);
        }
    }
    if (!chosen.empty()) {
        lines.push_back("Размеры подобраны по каталогам: уч. " + Ids(network, chosen, maxNamed));
    }
    std::vector<std::size_t> shortOfSizes;
    for (std::size_t i = 0; i < results.sections.size(); ++i) {
        if (results.sections[i].catalogueShort) {
            shortOfSizes.push_back(i);
        }
    }
    if (!shortOfSizes.empty()) {
        lines.push_back("В каталоге нет размера на этот расход, взят наибольший: уч. " +
                        Ids(network, shortOfSizes, maxNamed));
    }
    if (!results.overVmax.empty()) {
        const std::string fast = Named(results.overVmax.size(), maxNamed, [&](std::size_t k) {
            const std::size_t i = results.overVmax[k];
            const SectionResult& r = results.sections[i];
            return "уч. " + network.sections[i].id + " (" + FixedNumber(r.V, 2, separator) + " > " +
                   FormatNumber(r.Vmax, separator) + " м/с)";
        });
        lines.push_back("Скорость выше допустимой: " + fast);
    }
    if (!results.withoutFlow.empty()) {
        lines.push_back("Без расхода воздуха: уч. " + Ids(network, results.withoutFlow, maxNamed));
    }
    if (AirOutsideViscosityRange(network.air.t)) {
        lines.push_back(AirRangeWarning(network.air.t, separator));
    }
    return lines;
}

namespace {

// Columns on a terminal: each character of the UTF-8 text takes one.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Pad(const std::string& text, std::size_t width, bool right) {
    const std::string fill(width > Width(text) ? width - Width(text) : 0, ' ');
    return right ? fill + text : text + fill;
}

} // namespace

std::string NetworkReport(const Network& network, const NetworkResults& results) {
    const std::vector<FormColumn>& columns = NetworkFormColumns();
    std::vector<std::vector<std::string>> table;
    table.emplace_back();
    for (const FormColumn& column : columns) {
        table.back().emplace_back(column.heading);
    }
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        std::vector<std::string>& line = table.emplace_back();
        for (const FormCell& cell : NetworkFormRow(network, results, i)) {
            line.push_back(cell.text);
        }
    }
    std::vector<std::size_t> widths(columns.size(), 0);
    for (const auto& line : table) {
        for (std::size_t c = 0; c < line.size(); ++c) {
            widths[c] = std::max(widths[c], Width(line[c]));
        }
    }
    std::string text;
    for (const std::string& line : NetworkTitleLines(network, results)) {
        text += line + "\n";
    }
    text += "\n";
    for (std::size_t row = 0; row < table.size(); ++row) {
        const bool main = row > 0 && results.sections[row - 1].main;
        std::string line = main ? "*" : " ";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            line += "  " + Pad(table[row][c], widths[c], columns[c].numeric);
        }
        if (row > 0 && results.sections[row - 1].flagged) {
            line += "!"; // past the imbalance, so that the digits stay aligned
        }
        while (line.ends_with(' ')) {
            line.pop_back();
        }
        text += line + "\n";
    }
    text += "\n";
    if (!network.sections.empty()) {
        text += "* — участок главного направления; ! — невязка выше " +
                FormatNumber(network.tolerance, '.') + " %\n";
    }
    for (const std::string& line : NetworkTotalsLines(network, results)) {
        text += line + "\n";
    }
    for (const std::string& line : NetworkWarnings(network, results)) {
        text += "Внимание: " + line + "\n";
    }
    return text;
}

std::string SpreadsheetText(const std::string& text) {
    if (text.empty() || std::string_view("=+-@").find(text.front()) == std::string_view::npos) {
        return text;
    }
    double number = 0;
    const char* last = text.data() + text.size();
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, last, number);
    if (ec == std::errc() && end == last) {
        return text; // "-5" and "+5" are numbers, not formulas
    }
    return "'" + text;
}

std::string CsvField(const std::string& given, char delimiter) {
    const std::string text = SpreadsheetText(given);
    if (text.find_first_of(std::string(1, delimiter) + "\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string NetworkCsv(const Network& network, const NetworkResults& results) {
    std::string text(NetworkCsvHeader);
    text += "\n";
    auto number = [](double value) { return FormatNumber(value, '.'); };
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        const NetworkSection& s = network.sections[i];
        const SectionResult& r = results.sections[i];
        const std::string fields[] = {
            CsvField(s.id),
            CsvField(s.parent),
            std::string(ShapeKey(s.shape)),
            SectionSizeText(s.shape, r.A, r.B),
            std::to_string(s.material),
            number(r.flow),
            number(s.length),
            number(r.kms),
            number(r.F),
            number(r.De),
            number(r.V),
            number(r.R),
            number(r.Rl),
            number(r.Pd),
            number(r.Z),
            number(r.P),
            number(r.path),
            r.main ? "1" : "0",
            r.imbalance ? number(*r.imbalance) : std::string(),
            r.overVmax ? "1" : "0",
        };
        for (std::size_t f = 0; f < std::size(fields); ++f) {
            text += (f > 0 ? "," : "") + fields[f];
        }
        text += "\n";
    }
    return text;
}

} // namespace kalvor
