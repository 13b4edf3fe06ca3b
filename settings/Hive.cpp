// Reading and writing the REGEDIT4 hive text, and case-blind lookup of its keys and values.
#include "settings/Hive.h"

#include <cstddef>
#include <unordered_map>

namespace kalvor {

namespace {

constexpr std::string_view Header = "REGEDIT4";
constexpr std::string_view RootName = "HKEY_CURRENT_USER\\";
constexpr std::string_view DwordTag = "dword:";

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = AsciiLower(c);
    return folded;
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

bool IsBlankOrComment(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return i == line.size() || line[i] == ';';
}

// Reads a quoted text starting at text[pos] == '"'; pos ends just past the closing quote.
std::optional<std::string> ParseQuoted(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != '"')
        return std::nullopt;
    std::string result;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return result;
        }
        if (c == '\\') {
            if (++pos == text.size() || (text[pos] != '\\' && text[pos] != '"'))
                return std::nullopt;
            result += text[pos];
        } else if (c == '\0' || c == '\r' || c == '\n') {
            return std::nullopt;
        } else {
            result += c;
        }
    }
    return std::nullopt; // no closing quote
}

std::optional<std::int32_t> ParseDword(std::string_view digits) {
    if (digits.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value); // two's complement: ffffffff is -1
}

std::optional<HiveValue> ParseValueLine(std::string_view line) {
    std::size_t pos = 0;
    auto name = ParseQuoted(line, pos);
    if (!name || pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    const std::string_view data = line.substr(pos + 1);
    if (data.starts_with('"')) {
        std::size_t end = 0;
        auto text = ParseQuoted(data, end);
        if (!text || end != data.size())
            return std::nullopt;
        return HiveValue{std::move(*name), std::move(*text)};
    }
    if (data.starts_with(DwordTag)) {
        if (auto number = ParseDword(data.substr(DwordTag.size())))
            return HiveValue{std::move(*name), *number};
    }
    return std::nullopt;
}

std::optional<std::string> ParseKeyLine(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    const std::string_view full = line.substr(1, line.size() - 2);
    if (full.size() <= RootName.size() || !NamesEqual(full.substr(0, RootName.size()), RootName))
        return std::nullopt;
    const std::string_view path = full.substr(RootName.size());
    auto normalised = NormaliseKeyPath(path);
    if (!normalised || *normalised != path) // no stray backslashes at either end
        return std::nullopt;
    return normalised;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

bool StartsWithPath(std::string_view path, std::string_view prefix) {
    return path.size() > prefix.size() && path[prefix.size()] == '\\' &&
           NamesEqual(path.substr(0, prefix.size()), prefix);
}

} // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

bool IsStorableText(std::string_view text) {
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::optional<std::string> NormaliseKeyPath(std::string_view path) {
    const std::size_t first = path.find_first_not_of('\\');
    if (first == std::string_view::npos)
        return std::nullopt;
    path = path.substr(first, path.find_last_not_of('\\') - first + 1);
    char previous = '\0';
    for (char c : path) {
        if (IsControl(c) || (c == '\\' && previous == '\\'))
            return std::nullopt;
        previous = c;
    }
    return std::string(path);
}

HiveValue* HiveKey::FindValue(std::string_view name) {
    for (HiveValue& value : values) {
        if (NamesEqual(value.name, name))
            return &value;
    }
    return nullptr;
}

const HiveValue* HiveKey::FindValue(std::string_view name) const {
    return const_cast<HiveKey*>(this)->FindValue(name);
}

void HiveKey::SetValue(std::string_view name, std::variant<std::int32_t, std::string> data) {
    if (HiveValue* value = FindValue(name))
        value->data = std::move(data);
    else
        values.push_back(HiveValue{std::string(name), std::move(data)});
}

HiveKey* Hive::FindKey(std::string_view path) {
    for (HiveKey& key : keys) {
        if (NamesEqual(key.path, path))
            return &key;
    }
    return nullptr;
}

const HiveKey* Hive::FindKey(std::string_view path) const {
    return const_cast<Hive*>(this)->FindKey(path);
}

bool Hive::KeyExists(std::string_view path) const {
    for (const HiveKey& key : keys) {
        if (NamesEqual(key.path, path) || StartsWithPath(key.path, path))
            return true;
    }
    return false;
}

HiveKey& Hive::AddKey(std::string_view path) {
    if (HiveKey* key = FindKey(path))
        return *key;
    return keys.emplace_back(HiveKey{std::string(path), {}});
}

std::optional<Hive> ParseHive(std::string_view text) {
    Hive hive;
    bool headerSeen = false;
    bool inKey = false;
    // Lookups by folded name keep a text with many keys or values linear to read.
    std::unordered_map<std::string, std::size_t> keyIndex;
    std::vector<std::unordered_map<std::string, std::size_t>> valueIndex;
    std::size_t currentIndex = 0;

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (IsBlankOrComment(line))
            continue;

        if (!headerSeen) {
            if (line != Header)
                return std::nullopt;
            headerSeen = true;
        } else if (line.starts_with('[')) {
            auto path = ParseKeyLine(line);
            if (!path)
                return std::nullopt;
            auto [found, added] = keyIndex.try_emplace(Folded(*path), hive.keys.size());
            if (added) {
                hive.keys.push_back(HiveKey{std::move(*path), {}});
                valueIndex.emplace_back();
            }
            currentIndex = found->second;
            inKey = true;
        } else {
            auto value = ParseValueLine(line);
            if (!value || !inKey)
                return std::nullopt;
            std::vector<HiveValue>& values = hive.keys[currentIndex].values;
            auto [found, added] =
                valueIndex[currentIndex].try_emplace(Folded(value->name), values.size());
            if (added)
                values.push_back(std::move(*value));
            else
                values[found->second].data = std::move(value->data);
        }
    }
    if (!headerSeen)
        return std::nullopt;
    return hive;
}

std::string SerialiseHive(const Hive& hive) {
    static constexpr char HexDigits[] = "0123456789abcdef";
    std::string out(Header);
    out += "\r\n\r\n";
    for (const HiveKey& key : hive.keys) {
        out += '[';
        out += RootName;
        out += key.path;
        out += "]\r\n";
        for (const HiveValue& value : key.values) {
            AppendQuoted(out, value.name);
            out += '=';
            if (value.IsInteger()) {
                const auto bits = static_cast<std::uint32_t>(std::get<std::int32_t>(value.data));
                out += DwordTag;
                for (int shift = 28; shift >= 0; shift -= 4)
                    out += HexDigits[(bits >> shift) & 0xF];
            } else {
                AppendQuoted(out, std::get<std::string>(value.data));
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

} // namespace kalvor
