// The rules a network keeps: names of shapes and materials, size texts, the tree of sections, the
// numbers of the network and of each section, and the Russian texts of the errors met on the way.
#include "network/Network.h"

#include "common/NumberText.h"

#include <cerrno>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

namespace kalvor {

NetworkError::NetworkError(const std::string& message, std::string sectionId_, std::string field_)
    : Error(message)
    , sectionId(std::move(sectionId_))
    , field(std::move(field_)) {}

NetworkError FieldError(const std::string& sectionId, const std::string& field,
                        const std::string& reason) {
    std::string where;
    if (!sectionId.empty()) {
        where = "участок «" + Excerpt(sectionId) + "»" + (field.empty() ? "" : ", ");
    }
    if (!field.empty()) {
        where += "поле «" + field + "»";
    }
    return NetworkError(where + ": " + reason, sectionId, field);
}

NetworkError PlaceError(std::size_t position, const std::string& field, const std::string& reason) {
    return NetworkError("участок № " + std::to_string(position) + " по порядку в файле, поле «" +
                            field + "»: " + reason,
                        "", field);
}

std::string Excerpt(std::string_view text, std::size_t characters) {
    std::size_t count = 0, cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            continue; // inside a character
        }
        if (count == characters) {
            cut = i;
        }
        ++count;
    }
    if (count <= characters) {
        return std::string(text);
    }
    return std::string(text.substr(0, cut)) + "… (" + std::to_string(count) + " знаков)";
}

std::optional<std::string> IdProblem(std::string_view id) {
    for (std::size_t i = 0; i < id.size(); ++i) {
        const auto c = static_cast<unsigned char>(id[i]);
        if (c < 32 || c == 0x7F) { // a tab or a line break pasted into an id: no file could hold it
            return "в id не может быть управляющих символов";
        }
        // U+202A…U+202E are E2 80 AA…AE in UTF-8, U+2066…U+2069 are E2 81 A6…A9.
        if (c == 0xE2 && i + 2 < id.size()) {
            const auto second = static_cast<unsigned char>(id[i + 1]);
            const auto third = static_cast<unsigned char>(id[i + 2]);
            if ((second == 0x80 && third >= 0xAA && third <= 0xAE) ||
                (second == 0x81 && third >= 0xA6 && third <= 0xA9)) {
                return "в id не может быть знаков смены направления текста (U+202A…U+202E, "
                       "U+2066…U+2069)";
            }
        }
    }
    return std::nullopt;
}

// ---- Names -------------------------------------------------------------------------------------

// The shapes' file keys and Russian names, in the order of the shapes.
constexpr std::string_view ShapeKeys[] = {"rectangular", "flat-oval", "round"};
constexpr std::string_view ShapeNames[] = {"Прямоугольный", "Плоскоовальный", "Круглый"};

std::string_view ShapeKey(DuctShape shape) {
    return ShapeKeys[static_cast<int>(shape)];
}

std::optional<DuctShape> ShapeFromKey(std::string_view key) {
    for (DuctShape shape : {DuctShape::Rectangular, DuctShape::FlatOval, DuctShape::Round}) {
        if (key == ShapeKey(shape)) {
            return shape;
        }
    }
    return std::nullopt;
}

std::string_view ShapeName(DuctShape shape) {
    return ShapeNames[static_cast<int>(shape)];
}

int MaterialCount(DuctShape shape) {
    return shape == DuctShape::FlatOval ? 2 : 5;
}

std::string_view MaterialName(int materialIndex) {
    static constexpr std::string_view names[] = {"Стальной", "Гибкий", "Кирпичный",
                                                 "Оштукатуренный", "Шлакобетонный"};
    return materialIndex >= 0 && materialIndex < 5 ? names[materialIndex] : std::string_view();
}

// ---- Sizes -------------------------------------------------------------------------------------

namespace {

// One number of a size text: finite and above 0.
std::optional<double> SizeNumber(std::string_view part) {
    if (part.empty()) {
        return std::nullopt;
    }
    try {
        const double value = ParseNumber(part, '.');
        if (std::isfinite(value) && value > 0.0) {
            return value;
        }
    } catch (const ConversionError&) {
    }
    return std::nullopt;
}

} // namespace

std::optional<SectionSize> ParseSectionSize(DuctShape shape, std::string_view text,
                                            std::string* problem) {
    auto refuse = [&](const std::string& why) -> std::optional<SectionSize> {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::nullopt;
    };
    if (text == AutoSize) {
        return SectionSize{true, 0.0, 0.0};
    }
    // The texts of the refusals are made only for a text refused.
    const auto notASize = [&] {
        return "«" + Excerpt(text) + "» — не размер; ожидается " +
               (shape == DuctShape::Round ? "диаметр в мм, например «400», или «auto»"
                                          : "«ширина*высота» в мм, например «500*300», или «auto»");
    };
    for (const char c : text) {
        if (static_cast<unsigned char>(c) <= 32) {
            return refuse(notASize()); // blanks around the numbers are not part of a size text
        }
    }
    // A size in metres typed where millimetres belong (0.8*0.5), or one no duct has.
    const auto outside = [](double size) { return size < MinSectionSize || size > MaxSectionSize; };
    const auto range = [&] {
        return "размер вне допустимого диапазона от " + MessageNumber(MinSectionSize) + " до " +
               MessageNumber(MaxSectionSize) + " мм («" + Excerpt(text) + "»)";
    };
    if (shape == DuctShape::Round) {
        const std::optional<double> D = SizeNumber(text);
        if (!D) {
            return refuse(notASize());
        }
        return outside(*D) ? refuse(range()) : std::optional(SectionSize{false, *D, 0.0});
    }
    const std::size_t star = text.find('*');
    if (star == std::string_view::npos) {
        return refuse(notASize());
    }
    const std::optional<double> A = SizeNumber(text.substr(0, star));
    const std::optional<double> B = SizeNumber(text.substr(star + 1));
    if (!A || !B) {
        return refuse(notASize());
    }
    if (outside(*A) || outside(*B)) {
        return refuse(range());
    }
    if (shape == DuctShape::FlatOval && *A < *B) {
        return refuse("у плоскоовального сечения первое число — общая ширина, она не может быть "
                      "меньше высоты («" +
                      Excerpt(text) + "»)");
    }
    return SectionSize{false, *A, *B};
}

std::string SectionSizeText(DuctShape shape, double A, double B) {
    if (shape == DuctShape::Round) {
        return FormatNumber(A, '.');
    }
    return FormatNumber(A, '.') + "*" + FormatNumber(B, '.');
}

// ---- The tree ----------------------------------------------------------------------------------

namespace {

[[noreturn]] void Refuse(const NetworkSection& section, const std::string& field,
                         const std::string& reason) {
    throw FieldError(section.id, field, reason);
}

[[noreturn]] void RefuseNetwork(const std::string& field, const std::string& reason) {
    throw FieldError("", field, reason);
}

// Follows the parents from a section that the root does not reach to the ring it ends in, and
// names the ring from its first section in file order.
[[noreturn]] void RefuseRing(const Network& network, const NetworkTree& tree, std::size_t start) {
    std::vector<bool> seen(network.sections.size(), false);
    std::size_t at = start;
    while (!seen[at]) {
        seen[at] = true;
        at = tree.parent[at];
    }
    std::vector<std::size_t> ring{at};
    for (std::size_t next = tree.parent[at]; next != at; next = tree.parent[next]) {
        ring.push_back(next);
    }
    std::size_t first = 0;
    for (std::size_t i = 1; i < ring.size(); ++i) {
        if (ring[i] < ring[first]) {
            first = i;
        }
    }
    std::string chain;
    for (std::size_t i = 0; i <= ring.size(); ++i) {
        chain += (i > 0 ? " → «" : "«") +
                 Excerpt(network.sections[ring[(first + i) % ring.size()]].id) + "»";
    }
    Refuse(network.sections[ring[first]], "parent",
           "участки образуют кольцо " + chain +
               " (каждый отходит от следующего) и не связаны с "
               "корнем");
}

} // namespace

NetworkTree BuildNetworkTree(const Network& network) {
    const std::vector<NetworkSection>& sections = network.sections;
    const std::size_t count = sections.size();
    NetworkTree tree;
    tree.parent.assign(count, NoSection);
    tree.children.assign(count, {});

    std::unordered_map<std::string_view, std::size_t> byId;
    byId.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (sections[i].id.empty()) {
            throw PlaceError(i + 1, "id", "id не может быть пустым");
        }
        if (const std::optional<std::string> problem = IdProblem(sections[i].id)) {
            throw PlaceError(i + 1, "id", *problem);
        }
        const auto [place, added] = byId.emplace(sections[i].id, i);
        if (!added) {
            Refuse(sections[i], "id",
                   "такой id уже есть у участка № " + std::to_string(place->second + 1) +
                       " по порядку в файле");
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const NetworkSection& section = sections[i];
        if (section.parent.empty()) {
            if (tree.root != NoSection) {
                Refuse(section, "parent",
                       "второй корень сети (первый — «" + Excerpt(sections[tree.root].id) +
                           "»); пустой parent бывает только у участка у вентилятора");
            }
            tree.root = i;
            continue;
        }
        const auto found = byId.find(section.parent);
        if (found == byId.end()) {
            Refuse(section, "parent", "нет участка «" + Excerpt(section.parent) + "»");
        }
        tree.parent[i] = found->second;
        tree.children[found->second].push_back(i);
    }
    // The order in which the root reaches the sections; what it does not reach hangs in a ring.
    tree.order.reserve(count);
    if (tree.root != NoSection) {
        tree.order.push_back(tree.root);
        for (std::size_t at = 0; at < tree.order.size(); ++at) {
            for (const std::size_t child : tree.children[tree.order[at]]) {
                tree.order.push_back(child);
            }
        }
    }
    if (tree.order.size() < count) {
        std::vector<bool> reached(count, false);
        for (const std::size_t i : tree.order) {
            reached[i] = true;
        }
        std::size_t start = 0;
        while (reached[start]) {
            ++start;
        }
        RefuseRing(network, tree, start);
    }
    return tree;
}

// ---- The rules ---------------------------------------------------------------------------------

namespace {

void CheckNotNegative(const NetworkSection& section, const char* field, double value) {
    if (!std::isfinite(value)) {
        Refuse(section, field, "ожидается конечное число");
    }
    if (value < 0.0) {
        Refuse(section, field, "не может быть отрицательным (" + MessageNumber(value) + ")");
    }
}

// The section's rules; returns its Σζ.
double CheckSection(const NetworkSection& section) {
    std::string problem;
    if (!ParseSectionSize(section.shape, section.size, &problem)) {
        Refuse(section, "size", problem);
    }
    if (section.material < 0 || section.material >= MaterialCount(section.shape)) {
        std::string offered;
        for (int i = 0; i < MaterialCount(section.shape); ++i) {
            offered +=
                (i > 0 ? ", " : "") + std::to_string(i) + " — " + std::string(MaterialName(i));
        }
        Refuse(section, "material",
               "материал " + std::to_string(section.material) + " не предлагается для формы «" +
                   std::string(ShapeKey(section.shape)) + "» (есть " + offered + ")");
    }
    CheckNotNegative(section, "length", section.length);
    CheckNotNegative(section, "kms", section.kms);
    CheckNotNegative(section, "flow", section.flow);
    const double kms = SectionKms(section);
    if (section.Vmax && !(std::isfinite(*section.Vmax) && *section.Vmax > 0.0)) {
        Refuse(section, "Vmax", "ожидается число больше 0");
    }
    return kms;
}

} // namespace

std::string FittingPlaceText(std::size_t position, const std::string& parameter) {
    std::string place = "местное сопротивление № " + std::to_string(position);
    if (!parameter.empty()) {
        place += ", параметр «" + parameter + "»";
    }
    return place;
}

double SectionKms(const NetworkSection& section) {
    if (section.fittings.empty()) {
        return section.kms;
    }
    try {
        const double sum = section.kms + FittingsZetaSum(section.fittings);
        if (!std::isfinite(sum)) {
            Refuse(section, "fittings", "Σζ местных сопротивлений не конечное число");
        }
        return sum;
    } catch (const FittingError& error) {
        // Only the type itself has no parameter of its own: an unknown type is its "type".
        const std::string parameter = error.parameter.empty() ? "type" : error.parameter;
        Refuse(section, "fittings",
               FittingPlaceText(error.position, parameter) + ": " + error.detail);
    }
}

CheckedNetwork CheckNetwork(const Network& network) {
    const AirState& air = network.air;
    if (!std::isfinite(air.t) || air.t < MinAirT || air.t > MaxAirT) {
        RefuseNetwork("air.t", "температура воздуха " + MessageNumber(air.t) +
                                   " °C вне допустимого диапазона от −60 до +300 °C");
    }
    if (!std::isfinite(air.PBar) || air.PBar < MinAirPBar || air.PBar > MaxAirPBar) {
        RefuseNetwork("air.PBar", "барометрическое давление " + MessageNumber(air.PBar) +
                                      " гПа вне допустимого диапазона от 500 до 1200 гПа");
    }
    if (!(AirDensity(air.t, air.PBar) > 0.0)) {
        RefuseNetwork("air", "при t = " + MessageNumber(air.t) + " °C и PBar = " +
                                 MessageNumber(air.PBar) + " гПа плотность воздуха не больше 0");
    }
    if (!std::isfinite(network.Vmax) || !(network.Vmax > 0.0)) {
        RefuseNetwork("Vmax", "ожидается число больше 0");
    }
    for (const auto& [field, value] :
         {std::pair{"tolerance", network.tolerance}, std::pair{"reserve", network.reserve}}) {
        if (!std::isfinite(value) || value < 0.0) {
            RefuseNetwork(field, "ожидается число не меньше 0");
        }
    }
    CheckedNetwork checked;
    checked.kms.reserve(network.sections.size());
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        if (network.sections[i].id.empty()) {
            break; // named by its place in BuildNetworkTree
        }
        checked.kms.push_back(CheckSection(network.sections[i]));
    }
    checked.tree = BuildNetworkTree(network);
    return checked;
}

// ---- Messages ----------------------------------------------------------------------------------

std::string SystemErrorText(int systemError) {
    switch (systemError) {
    case ENOENT:
        return "файл не найден";
    case ENOTDIR:
        return "путь не существует";
    case EACCES:
    case EPERM:
    case EROFS:
        return "доступ запрещён";
    case EISDIR:
        return "это папка, а не файл";
    case EMFILE:
    case ENFILE:
        return "слишком много открытых файлов";
    case ENOSPC:
        return "диск заполнен";
    case ELOOP:
        return "слишком много символических ссылок";
    default:
        return "ошибка ввода-вывода " + std::to_string(systemError);
    }
}

std::string InOutErrorText(const InOutError& error) {
    static const std::pair<int, const char*> Texts[] = {
        {io::FileNotFound, "файл не найден"},
        {io::InvalidFilename, "путь не существует"},
        {io::TooManyOpenFiles, "слишком много открытых файлов"},
        {io::AccessDenied, "доступ запрещён"},
        {io::InvalidNumericInput, "в файле не число (десятичный разделитель — точка)"},
    };
    for (const auto& [code, text] : Texts) {
        if (code == error.code) {
            return text;
        }
    }
    return SystemErrorText(error.code); // the other codes are the system's own numbers
}

} // namespace kalvor
