// Reading the hive text: registry export files as the registry editor writes them or as a person
// types them, with deletions applied in file order.
#include "settings/Hive.h"

#include "settings/TextEncoding.h"

#include <cstddef>
#include <map>
#include <unordered_map>

namespace kalvor {

namespace {

constexpr std::string_view Header4 = "REGEDIT4";
constexpr std::string_view Header5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view RootName = "HKEY_CURRENT_USER\\";
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16Mark = "\xFF\xFE";
constexpr char CtrlZ = '\x1A';

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && NamesEqual(text.substr(0, prefix.size()), prefix);
}

// The lines of a text, ended by CR LF, LF or a lone CR.
class Lines {
public:
    explicit Lines(std::string_view text)
        : m_text(text) {}

    bool Next(std::string_view& line) {
        if (m_pos >= m_text.size())
            return false;
        const std::size_t end = m_text.find_first_of("\r\n", m_pos);
        if (end == std::string_view::npos) {
            line = m_text.substr(m_pos);
            m_pos = m_text.size();
            return true;
        }
        line = m_text.substr(m_pos, end - m_pos);
        const bool crLf = m_text[end] == '\r' && end + 1 < m_text.size() && m_text[end + 1] == '\n';
        m_pos = end + (crLf ? 2 : 1);
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

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

// 1 to maxDigits hex digits in either case, nothing else.
std::optional<std::uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
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
    return value;
}

// The data after "hex": an optional "(type)", ":" and comma-separated bytes; a trailing backslash
// continues the list on the next line.
std::optional<HiveBinary> ParseBinary(std::string_view rest, Lines& lines) {
    HiveBinary binary;
    if (rest.starts_with('(')) {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos)
            return std::nullopt;
        const auto type = ParseHex(rest.substr(1, close - 1), 8);
        if (!type)
            return std::nullopt;
        binary.type = *type;
        rest.remove_prefix(close + 1);
    }
    if (!rest.starts_with(':'))
        return std::nullopt;
    rest.remove_prefix(1);
    for (;;) {
        rest = Trimmed(rest);
        const bool continued = rest.ends_with('\\');
        if (continued)
            rest = Trimmed(rest.substr(0, rest.size() - 1));
        if (rest.ends_with(','))
            rest.remove_suffix(1);
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            const auto byte = ParseHex(Trimmed(rest.substr(0, comma)), 2);
            if (!byte)
                return std::nullopt;
            binary.bytes.push_back(static_cast<std::uint8_t>(*byte));
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
            if (rest.empty())
                return std::nullopt; // ",," or a comma before the end of the list
        }
        if (!continued || !lines.Next(rest))
            return binary;
    }
}

struct ValueLine {
    std::string name;
    std::optional<HiveData> data; // nullopt: "name"=- deletes the value
};

std::optional<ValueLine> ParseValueLine(std::string_view line, Lines& lines) {
    ValueLine value;
    std::size_t pos = 0;
    if (line.starts_with('@')) {
        pos = 1; // the default value has the empty name
    } else if (auto name = ParseQuoted(line, pos)) {
        value.name = std::move(*name);
    } else {
        return std::nullopt;
    }
    std::string_view data = Trimmed(line.substr(pos));
    if (!data.starts_with('='))
        return std::nullopt;
    data = Trimmed(data.substr(1));
    if (data == "-")
        return value;
    if (data.starts_with('"')) {
        std::size_t end = 0;
        auto text = ParseQuoted(data, end);
        if (!text || end != data.size())
            return std::nullopt;
        value.data = std::move(*text);
    } else if (StartsWithNoCase(data, "dword:")) {
        const auto number = ParseHex(data.substr(6), 8);
        if (!number)
            return std::nullopt;
        value.data = static_cast<std::int32_t>(*number); // two's complement: ffffffff is -1
    } else if (StartsWithNoCase(data, "hex")) {
        auto binary = ParseBinary(data.substr(3), lines);
        if (!binary)
            return std::nullopt;
        value.data = std::move(*binary);
    } else {
        return std::nullopt;
    }
    return value;
}

// "[HKEY_CURRENT_USER\path]" or "[-HKEY_CURRENT_USER\path]": the path, and whether it deletes.
std::optional<std::string> ParseKeyLine(std::string_view line, bool& deletes) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    std::string_view full = line.substr(1, line.size() - 2);
    deletes = full.starts_with('-');
    if (deletes)
        full.remove_prefix(1);
    if (full.size() <= RootName.size() || !NamesEqual(full.substr(0, RootName.size()), RootName))
        return std::nullopt;
    const std::string_view path = full.substr(RootName.size());
    auto normalised = NormaliseKeyPath(path);
    if (!normalised || *normalised != path) // no stray backslashes at either end
        return std::nullopt;
    return normalised;
}

// The keys as the file builds them up. Deleted keys and values stay in place, marked, until the
// end, so that lookups by folded name keep a text with many keys or values fast to read.
class HiveBuilder {
public:
    void OpenKey(std::string path) {
        auto [found, added] = m_keyIndex.try_emplace(Folded(path), m_keys.size());
        if (added)
            m_keys.push_back(Entry{HiveKey{std::move(path), {}}, true, {}, {}});
        m_current = found->second;
    }

    // The key and every key below it: in folded byte order those are the path itself and the
    // paths from "path\" up to "path]", ']' being the byte after '\'.
    void DeleteKey(const std::string& path) {
        const std::string folded = Folded(path);
        if (auto exact = m_keyIndex.find(folded); exact != m_keyIndex.end()) {
            m_keys[exact->second].alive = false;
            m_keyIndex.erase(exact);
        }
        const auto first = m_keyIndex.lower_bound(folded + '\\');
        const auto last = m_keyIndex.lower_bound(folded + ']');
        for (auto it = first; it != last; ++it)
            m_keys[it->second].alive = false;
        m_keyIndex.erase(first, last);
    }

    void SetValue(std::string_view name, HiveData data) {
        Entry& entry = m_keys[m_current];
        std::vector<HiveValue>& values = entry.key.values;
        auto [found, added] = entry.valueIndex.try_emplace(Folded(name), values.size());
        if (added) {
            values.push_back(HiveValue{std::string(name), std::move(data)});
            entry.valueAlive.push_back(true);
        } else {
            values[found->second].data = std::move(data);
        }
    }

    void DeleteValue(std::string_view name) {
        Entry& entry = m_keys[m_current];
        if (auto found = entry.valueIndex.find(Folded(name)); found != entry.valueIndex.end()) {
            entry.valueAlive[found->second] = false;
            entry.valueIndex.erase(found);
        }
    }

    std::vector<HiveKey> Finish() {
        std::vector<HiveKey> keys;
        for (Entry& entry : m_keys) {
            if (!entry.alive)
                continue;
            std::vector<HiveValue> values;
            for (std::size_t i = 0; i < entry.key.values.size(); ++i) {
                if (entry.valueAlive[i])
                    values.push_back(std::move(entry.key.values[i]));
            }
            entry.key.values = std::move(values);
            keys.push_back(std::move(entry.key));
        }
        return keys;
    }

private:
    struct Entry {
        HiveKey key;
        bool alive;
        std::vector<bool> valueAlive;
        std::unordered_map<std::string, std::size_t> valueIndex;
    };
    std::vector<Entry> m_keys;
    std::map<std::string, std::size_t> m_keyIndex; // folded path of each live key
    std::size_t m_current = 0;
};

} // namespace

std::optional<Hive> ParseHive(std::string_view bytes) {
    Hive hive;
    std::string decoded;
    std::string_view text = bytes;
    if (text.starts_with(Utf16Mark)) {
        auto utf8 = Utf16LeToUtf8(text.substr(Utf16Mark.size()));
        if (!utf8)
            return std::nullopt;
        decoded = std::move(*utf8);
        text = decoded;
        hive.encoding = HiveEncoding::Utf16WithMark;
    } else if (text.starts_with(Utf8Mark)) {
        text.remove_prefix(Utf8Mark.size());
        hive.encoding = HiveEncoding::Utf8WithMark;
    }
    // A Ctrl-Z at the end, as older editors close a text, with any blank lines around it.
    const std::size_t last = text.find_last_not_of(std::string_view(" \t\r\n\x1A"));
    const std::size_t end = last == std::string_view::npos ? 0 : last + 1;
    if (text.find(CtrlZ, end) != std::string_view::npos)
        text = text.substr(0, end);

    enum class Current { None, Key, Deleted } current = Current::None;
    bool headerSeen = false;
    HiveBuilder builder;
    Lines lines(text);
    std::string_view raw;
    while (lines.Next(raw)) {
        const std::string_view line = Trimmed(raw);
        if (line.empty() || line.starts_with(';'))
            continue;
        if (!headerSeen) {
            if (line == Header5)
                hive.version5 = true;
            else if (line != Header4)
                return std::nullopt;
            headerSeen = true;
        } else if (line.starts_with('[')) {
            bool deletes = false;
            auto path = ParseKeyLine(line, deletes);
            if (!path)
                return std::nullopt;
            if (deletes) {
                builder.DeleteKey(*path);
                current = Current::Deleted;
            } else {
                builder.OpenKey(std::move(*path));
                current = Current::Key;
            }
        } else {
            auto value = ParseValueLine(line, lines);
            if (!value || current == Current::None)
                return std::nullopt;
            if (current == Current::Deleted)
                continue; // the registry editor sets nothing under a key it deletes
            if (value->data)
                builder.SetValue(value->name, std::move(*value->data));
            else
                builder.DeleteValue(value->name);
        }
    }
    if (!headerSeen)
        return std::nullopt;
    hive.keys = builder.Finish();
    return hive;
}

} // namespace kalvor
