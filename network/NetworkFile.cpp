// The network file in JSON: field by field, with its defaults and its refusals, and back.
#include "network/NetworkFile.h"

#include "common/OwnFiles.h"
#include "common/SafeFile.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

namespace kalvor {

namespace {

using Json = nlohmann::ordered_json;

// Objects and lists inside one another: a network file needs 5 levels (the file, its sections,
// a section, its fittings, a fitting); a reader or writer never goes deeper.
constexpr std::size_t MaxNesting = 16;

// A text in UTF-16 (with or without its byte-order mark): a NUL byte among the first two, as
// every ASCII character of it has.
bool LooksLikeUtf16(std::string_view text) {
    return text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
           (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'));
}

// Where a field belongs: the network itself, or one section (by its id, or by its place in the
// file while its id is not known).
struct Owner {
    std::string id;
    std::size_t position = 0; // 1-based; 0 for the network
};

[[noreturn]] void Refuse(const Owner& owner, const std::string& field, const std::string& reason) {
    if (owner.position != 0 && owner.id.empty()) {
        throw PlaceError(owner.position, field, reason);
    }
    throw FieldError(owner.position == 0 ? std::string() : owner.id, field, reason);
}

void RefuseUnknownFields(const Owner& owner, const Json& object, const std::string& prefix,
                         const std::set<std::string, std::less<>>& known) {
    for (const auto& item : object.items()) {
        if (!known.contains(item.key())) {
            Refuse(owner, prefix + Excerpt(item.key()), "неизвестное поле");
        }
    }
}

// How a message shows a value of the file: its JSON text when short, else its beginning with the
// kind of value. Written without recursion beyond MaxNesting, whatever the value holds.
void Sketch(const Json& value, std::string& out, std::size_t depth) {
    constexpr std::size_t Room = 60;
    if (out.size() > Room) {
        return;
    }
    if (depth > MaxNesting) {
        out += "…";
        return;
    }
    if (value.is_string()) {
        out += Json(Excerpt(value.get_ref<const std::string&>()))
                   .dump(-1, ' ', false, Json::error_handler_t::replace);
    } else if (value.is_object()) {
        out += "{";
        bool first = true;
        for (const auto& item : value.items()) {
            if (out.size() > Room) {
                break;
            }
            out += (first ? "" : ",") +
                   Json(Excerpt(item.key())).dump(-1, ' ', false, Json::error_handler_t::replace) +
                   ":";
            Sketch(item.value(), out, depth + 1);
            first = false;
        }
        out += "}";
    } else if (value.is_array()) {
        out += "[";
        for (std::size_t i = 0; i < value.size() && out.size() <= Room; ++i) {
            out += i > 0 ? "," : "";
            Sketch(value[i], out, depth + 1);
        }
        out += "]";
    } else {
        out += value.dump(); // a number, true, false or null: short
    }
}

std::string Describe(const Json& value) {
    std::string sketch;
    Sketch(value, sketch, 0);
    if (value.is_string() && sketch.find("…") != std::string::npos) {
        return "текст " + sketch;
    }
    if (sketch.size() <= 80) {
        return sketch;
    }
    const std::string kind =
        value.is_object() ? "объект из " + std::to_string(value.size()) + " полей"
        : value.is_array() ? "список из " + std::to_string(value.size()) + " значений"
                           : "текст";
    return kind + " " + Excerpt(sketch, 60);
}

const Json* Field(const Json& object, const char* name) {
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

double Number(const Owner& owner, const Json& object, const char* name, const std::string& field,
              std::optional<double> fallback) {
    const Json* value = Field(object, name);
    if (value == nullptr) {
        if (!fallback) {
            Refuse(owner, field, "нет поля");
        }
        return *fallback;
    }
    if (!value->is_number()) {
        Refuse(owner, field, "ожидается число, а не " + Describe(*value));
    }
    const double number = value->get<double>();
    if (!std::isfinite(number)) {
        Refuse(owner, field, "ожидается конечное число");
    }
    return number;
}

std::string Text(const Owner& owner, const Json& object, const char* name,
                 std::optional<std::string> fallback, const std::string& expected = "текст") {
    const Json* value = Field(object, name);
    if (value == nullptr) {
        if (!fallback) {
            Refuse(owner, name, "нет поля");
        }
        return *fallback;
    }
    if (!value->is_string()) {
        Refuse(owner, name, "ожидается " + expected + ", а не " + Describe(*value));
    }
    return value->get<std::string>();
}

// A section's list of fittings: each an object with its "type", its parameters as numbers and an
// optional "count". Whether the type and its values can be used is checked with the network.
std::vector<FittingUse> ReadFittings(const Owner& owner, const Json& list) {
    if (!list.is_array()) {
        Refuse(owner, "fittings",
               "ожидается список местных сопротивлений [{\"type\": ...}, ...], а не " +
                   Describe(list));
    }
    std::vector<FittingUse> fittings;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Json& item = list[i];
        const auto refuse = [&](const std::string& parameter, const std::string& reason) {
            Refuse(owner, "fittings", FittingPlaceText(i + 1, parameter) + ": " + reason);
        };
        if (!item.is_object()) {
            refuse("", "ожидается объект {\"type\": ..., ...}, а не " + Describe(item));
        }
        FittingUse use;
        const Json* type = Field(item, "type");
        if (type == nullptr) {
            refuse("type", "нет поля");
        }
        if (!type->is_string()) {
            refuse("type", "ожидается текст, а не " + Describe(*type));
        }
        use.type = type->get<std::string>();
        for (const auto& field : item.items()) {
            if (field.key() == "type") {
                continue;
            }
            if (!field.value().is_number()) {
                refuse(Excerpt(field.key()), "ожидается число, а не " + Describe(field.value()));
            }
            const double value = field.value().get<double>();
            if (!std::isfinite(value)) {
                refuse(Excerpt(field.key()), "ожидается конечное число");
            }
            if (field.key() == "count") {
                use.count = value;
            } else {
                use.parameters[field.key()] = value;
            }
        }
        fittings.push_back(std::move(use));
    }
    return fittings;
}

NetworkSection ReadSection(const Json& item, std::size_t position) {
    Owner owner{"", position};
    if (!item.is_object()) {
        Refuse(owner, "id", "ожидается объект участка {\"id\": ..., ...}, а не " + Describe(item));
    }
    NetworkSection section;
    section.id = Text(owner, item, "id", std::nullopt);
    if (section.id.empty()) {
        Refuse(owner, "id", "id не может быть пустым");
    }
    if (const std::optional<std::string> problem = IdProblem(section.id)) {
        Refuse(owner, "id", *problem);
    }
    owner.id = section.id;
    RefuseUnknownFields(
        owner, item, "",
        {"id", "parent", "shape", "size", "material", "length", "kms", "flow", "Vmax", "fittings"});
    section.parent = Text(owner, item, "parent", "", "текст (id участка или \"\" у корня)");
    const std::string shape = Text(owner, item, "shape", std::nullopt);
    const std::optional<DuctShape> known = ShapeFromKey(shape);
    if (!known) {
        Refuse(owner, "shape",
               "«" + Excerpt(shape) +
                   "» — не форма; ожидается «rectangular», «flat-oval» или «round»");
    }
    section.shape = *known;
    section.size = Text(owner, item, "size", std::nullopt);
    if (const Json* material = Field(item, "material")) {
        if (!material->is_number_integer()) {
            Refuse(owner, "material",
                   "ожидается номер материала (целое число), а не " + Describe(*material));
        }
        const bool fits = material->is_number_unsigned()
                              ? material->get<unsigned long long>() <=
                                    static_cast<unsigned long long>(std::numeric_limits<int>::max())
                              : material->get<long long>() >= std::numeric_limits<int>::min() &&
                                    material->get<long long>() <= std::numeric_limits<int>::max();
        if (!fits) {
            Refuse(owner, "material", "нет материала " + Describe(*material));
        }
        section.material = material->get<int>();
    }
    section.length = Number(owner, item, "length", "length", std::nullopt);
    section.kms = Number(owner, item, "kms", "kms", 0.0);
    section.flow = Number(owner, item, "flow", "flow", 0.0);
    if (Field(item, "Vmax") != nullptr) {
        section.Vmax = Number(owner, item, "Vmax", "Vmax", std::nullopt);
    }
    if (const Json* fittings = Field(item, "fittings")) {
        section.fittings = ReadFittings(owner, *fittings);
    }
    return section;
}

// Line and column of a byte offset, for the message about a text that is not JSON.
std::string PlaceOf(std::string_view text, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "строка " + std::to_string(line) + ", позиция " + std::to_string(column);
}

} // namespace

Network ParseNetworkText(std::string_view text, CheckedNetwork* checked) {
    if (LooksLikeUtf16(text)) {
        throw NetworkError("файл в кодировке UTF-16; файл сети должен быть в кодировке UTF-8", "",
                           "");
    }
    Json file;
    try {
        // Every object's keys seen so far, innermost last.
        std::vector<std::set<std::string, std::less<>>> keys;
        const Json::parser_callback_t watch = [&keys](int depth, Json::parse_event_t event,
                                                      Json& parsed) {
            switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                if (depth >= static_cast<int>(MaxNesting)) {
                    throw NetworkError("файл не является файлом сети: слишком глубокая "
                                       "вложенность (больше " +
                                           std::to_string(MaxNesting) +
                                           " уровней объектов и списков)",
                                       "", "");
                }
                if (event == Json::parse_event_t::object_start) {
                    keys.emplace_back();
                }
                break;
            case Json::parse_event_t::object_end:
                keys.pop_back();
                break;
            case Json::parse_event_t::key: {
                const std::string& key = parsed.get_ref<const std::string&>();
                if (!keys.empty() && !keys.back().insert(key).second) {
                    throw NetworkError("поле «" + Excerpt(key) +
                                           "» задано дважды в одном объекте; в файле оно должно "
                                           "быть одно",
                                       "", Excerpt(key));
                }
                break;
            }
            default:
                break;
            }
            return true;
        };
        file = Json::parse(text.begin(), text.end(), watch);
    } catch (const Json::parse_error& error) {
        const std::size_t offset = error.byte > 0 ? error.byte - 1 : 0;
        throw NetworkError("файл не в формате JSON (" + PlaceOf(text, offset) + ")", "", "");
    } catch (const Json::out_of_range&) {
        throw NetworkError("файл не в формате JSON: в нём слишком большое число", "", "");
    }
    const Owner network;
    if (!file.is_object()) {
        throw NetworkError("файл не является файлом сети: ожидается объект JSON", "", "");
    }
    const Json* version = Field(file, "kalvor-network");
    if (version == nullptr) {
        Refuse(network, "kalvor-network", "нет поля; это не файл сети Kalvor");
    }
    if (!version->is_number_integer() || version->get<long long>() != NetworkFileVersion) {
        Refuse(network, "kalvor-network",
               "неизвестная версия " + Describe(*version) + " (известна версия " +
                   std::to_string(NetworkFileVersion) + ")");
    }
    RefuseUnknownFields(
        network, file, "",
        {"kalvor-network", "name", "air", "Vmax", "tolerance", "reserve", "sections"});

    Network result;
    result.name = Text(network, file, "name", "");
    if (const Json* air = Field(file, "air")) {
        if (!air->is_object()) {
            Refuse(network, "air", "ожидается объект {\"t\": ..., \"PBar\": ...}");
        }
        RefuseUnknownFields(network, *air, "air.", {"t", "PBar"});
        result.air.t = Number(network, *air, "t", "air.t", AirState{}.t);
        result.air.PBar = Number(network, *air, "PBar", "air.PBar", AirState{}.PBar);
    }
    result.Vmax = Number(network, file, "Vmax", "Vmax", Network{}.Vmax);
    result.tolerance = Number(network, file, "tolerance", "tolerance", Network{}.tolerance);
    result.reserve = Number(network, file, "reserve", "reserve", Network{}.reserve);

    const Json* sections = Field(file, "sections");
    if (sections == nullptr || !sections->is_array()) {
        Refuse(network, "sections", sections == nullptr ? "нет поля" : "ожидается список участков");
    }
    result.sections.reserve(sections->size());
    for (std::size_t i = 0; i < sections->size(); ++i) {
        result.sections.push_back(ReadSection((*sections)[i], i + 1));
    }
    CheckedNetwork found = CheckNetwork(result);
    if (checked != nullptr) {
        *checked = std::move(found);
    }
    return result;
}

namespace {

// A whole number within the range a double holds exactly is written without a fraction.
Json NumberJson(double value) {
    if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0) {
        return static_cast<long long>(value);
    }
    return value;
}

std::string Dump(const Json& value) {
    try {
        return value.dump(-1, ' ', false, Json::error_handler_t::strict);
    } catch (const Json::type_error&) {
        throw Error("текст " + Describe(value) + " не в кодировке UTF-8");
    }
}

// {"a": 1, "b": "x"} on one line, fields in the order given.
std::string Line(const Json& object) {
    std::string line = "{";
    for (const auto& item : object.items()) {
        line += (line.size() > 1 ? ", " : "") + Dump(item.key()) + ": " + Dump(item.value());
    }
    return line + "}";
}

} // namespace

std::string NetworkFileText(const Network& network) {
    std::string text = "{\n";
    text += "  \"kalvor-network\": " + std::to_string(NetworkFileVersion) + ",\n";
    text += "  \"name\": " + Dump(network.name) + ",\n";
    Json air = Json::object();
    air["t"] = NumberJson(network.air.t);
    air["PBar"] = NumberJson(network.air.PBar);
    text += "  \"air\": " + Line(air) + ",\n";
    text += "  \"Vmax\": " + Dump(NumberJson(network.Vmax)) + ",\n";
    text += "  \"tolerance\": " + Dump(NumberJson(network.tolerance)) + ",\n";
    text += "  \"reserve\": " + Dump(NumberJson(network.reserve)) + ",\n";
    text += "  \"sections\": [";
    for (std::size_t i = 0; i < network.sections.size(); ++i) {
        const NetworkSection& section = network.sections[i];
        Json item = Json::object();
        item["id"] = section.id;
        item["parent"] = section.parent;
        item["shape"] = std::string(ShapeKey(section.shape));
        item["size"] = section.size;
        item["material"] = section.material;
        item["length"] = NumberJson(section.length);
        item["kms"] = NumberJson(section.kms);
        if (section.flow != 0.0) {
            item["flow"] = NumberJson(section.flow);
        }
        if (section.Vmax) {
            item["Vmax"] = NumberJson(*section.Vmax);
        }
        std::string line = Line(item);
        if (!section.fittings.empty()) {
            line.pop_back(); // the closing brace, put back after the list
            line += ",\n     \"fittings\": [";
            for (std::size_t f = 0; f < section.fittings.size(); ++f) {
                const FittingUse& use = section.fittings[f];
                Json fitting = Json::object();
                fitting["type"] = use.type;
                for (const auto& [id, value] : use.parameters) {
                    fitting[id] = NumberJson(value);
                }
                fitting["count"] = NumberJson(use.count);
                line += (f > 0 ? ",\n       " : "\n       ") + Line(fitting);
            }
            line += "]}";
        }
        text += (i > 0 ? ",\n    " : "\n    ") + line;
    }
    text += network.sections.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

// Far beyond any network a person edits (10,000 sections take about 1.5 MB).
constexpr std::size_t MaxNetworkBytes = 64 * 1024 * 1024;

Network LoadNetworkFile(const std::string& path, CheckedNetwork* checked) {
    std::string text;
    const ReadOutcome outcome = ReadRegularFile(path, MaxNetworkBytes, text);
    if (!outcome.ok()) {
        const std::string reason = outcome.linkRefused ? "ссылка ведёт к чужому файлу"
                                   : outcome.notRegular ? "это не обычный файл"
                                   : outcome.tooLarge   ? "файл больше 64 МиБ"
                                                        : SystemErrorText(outcome.error);
        throw NetworkError("файл «" + path + "» не прочитан: " + reason, "", "");
    }
    return ParseNetworkText(text, checked);
}

std::string OutputPath(const std::string& path, const std::string& input) {
    const WriteTarget target = ResolveWriteTarget(path, input);
    if (target.ok()) {
        return target.path;
    }
    const std::string reason = target.isInput ? "это файл, из которого он получается; выберите "
                                                "другое имя"
                               : target.notRegular ? "это не обычный файл"
                                                   : SystemErrorText(target.error);
    throw Error("файл «" + path + "» не записан: " + reason);
}

void SaveNetworkFile(const std::string& named, const Network& network) {
    const std::string text = NetworkFileText(network); // formed whole before any file is touched
    const std::string path = OutputPath(named);
    if (const int error = ReplaceFileWith(path, text)) {
        // Only the folder can be missing where a new file is created.
        throw Error("файл «" + named + "» не записан: " +
                    (error == ENOENT ? "папка «" + FolderOf(path) + "» не найдена"
                                     : SystemErrorText(error)));
    }
}

} // namespace kalvor
