// The network file in JSON: field by field, with its defaults and its refusals, and back.
#include "network/NetworkFile.h"

#include "common/SafeFile.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <set>

namespace kalvor {

namespace {

using Json = nlohmann::ordered_json;

// Where a field belongs: the network itself, or one section (by its id, or by its place in the
// file while its id is not known).
struct Owner {
    std::string id;
    std::size_t position = 0; // 1-based; 0 for the network
};

[[noreturn]] void Refuse(const Owner& owner, const std::string& field, const std::string& reason) {
    std::string where;
    if (owner.position == 0) {
        where = "поле «" + field + "»";
    } else if (!owner.id.empty()) {
        where = "участок «" + owner.id + "», поле «" + field + "»";
    } else {
        where = "участок № " + std::to_string(owner.position) + " по порядку в файле, поле «" +
                field + "»";
    }
    throw NetworkError(where + ": " + reason, owner.id, field);
}

void RefuseUnknownFields(const Owner& owner, const Json& object, const std::string& prefix,
                         const std::set<std::string, std::less<>>& known) {
    for (const auto& item : object.items()) {
        if (!known.contains(item.key())) {
            Refuse(owner, prefix + item.key(), "неизвестное поле");
        }
    }
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
        Refuse(owner, field, "ожидается число, а не " + value->dump());
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
        Refuse(owner, name, "ожидается " + expected + ", а не " + value->dump());
    }
    return value->get<std::string>();
}

NetworkSection ReadSection(const Json& item, std::size_t position) {
    Owner owner{"", position};
    if (!item.is_object()) {
        Refuse(owner, "id", "ожидается объект участка {\"id\": ..., ...}, а не " + item.dump());
    }
    NetworkSection section;
    section.id = Text(owner, item, "id", std::nullopt);
    if (section.id.empty()) {
        Refuse(owner, "id", "id не может быть пустым");
    }
    for (const unsigned char c : section.id) {
        if (c < 32) {
            Refuse(owner, "id", "в id не может быть управляющих символов");
        }
    }
    owner.id = section.id;
    RefuseUnknownFields(
        owner, item, "",
        {"id", "parent", "shape", "size", "material", "length", "kms", "flow", "Vmax"});
    section.parent = Text(owner, item, "parent", "", "текст (id участка или \"\" у корня)");
    const std::string shape = Text(owner, item, "shape", std::nullopt);
    const std::optional<DuctShape> known = ShapeFromKey(shape);
    if (!known) {
        Refuse(owner, "shape",
               "«" + shape + "» — не форма; ожидается «rectangular», «flat-oval» или «round»");
    }
    section.shape = *known;
    section.size = Text(owner, item, "size", std::nullopt);
    if (const Json* material = Field(item, "material")) {
        if (!material->is_number_integer()) {
            Refuse(owner, "material",
                   "ожидается номер материала (целое число), а не " + material->dump());
        }
        const bool fits = material->is_number_unsigned()
                              ? material->get<unsigned long long>() <=
                                    static_cast<unsigned long long>(std::numeric_limits<int>::max())
                              : material->get<long long>() >= std::numeric_limits<int>::min() &&
                                    material->get<long long>() <= std::numeric_limits<int>::max();
        if (!fits) {
            Refuse(owner, "material", "нет материала " + material->dump());
        }
        section.material = material->get<int>();
    }
    section.length = Number(owner, item, "length", "length", std::nullopt);
    section.kms = Number(owner, item, "kms", "kms", 0.0);
    section.flow = Number(owner, item, "flow", "flow", 0.0);
    if (Field(item, "Vmax") != nullptr) {
        section.Vmax = Number(owner, item, "Vmax", "Vmax", std::nullopt);
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

Network ParseNetworkText(std::string_view text) {
    Json file;
    try {
        file = Json::parse(text);
    } catch (const Json::parse_error& error) {
        const std::size_t offset = error.byte > 0 ? error.byte - 1 : 0;
        throw NetworkError("файл не в формате JSON: ошибка в месте " + PlaceOf(text, offset), "",
                           "");
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
               "неизвестная версия " + version->dump() + " (известна версия " +
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
    CheckNetwork(result);
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
        throw Error("текст " + value.dump(-1, ' ', false, Json::error_handler_t::replace) +
                    " не в кодировке UTF-8");
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
        text += (i > 0 ? ",\n    " : "\n    ") + Line(item);
    }
    text += network.sections.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

Network LoadNetworkFile(const std::string& path) {
    std::string text;
    if (const int error = ReadWholeFile(path, text)) {
        throw NetworkError("файл «" + path + "» не прочитан: " + SystemErrorText(error), "", "");
    }
    return ParseNetworkText(text);
}

void SaveNetworkFile(const std::string& path, const Network& network) {
    const std::string text = NetworkFileText(network); // formed whole before any file is touched
    if (const int error = ReplaceFileWith(path, text)) {
        throw Error("файл «" + path + "» не записан: " + SystemErrorText(error));
    }
}

} // namespace kalvor
