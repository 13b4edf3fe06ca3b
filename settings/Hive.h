// The per-user hive as text: a REGEDIT4 file of keys below HKEY_CURRENT_USER and their values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kalvor {

// One named value: a registry DWORD (read as a signed 32-bit integer) or a registry string.
struct HiveValue {
    std::string name;
    std::variant<std::int32_t, std::string> data;

    bool IsInteger() const { return std::holds_alternative<std::int32_t>(data); }
    friend bool operator==(const HiveValue&, const HiveValue&) = default;
};

// One key: its path below HKEY_CURRENT_USER ("software\kelmorta", no leading or trailing
// backslash) and its values in file order.
struct HiveKey {
    std::string path;
    std::vector<HiveValue> values;

    // The value of that name, compared without regard to ASCII case; nullptr when absent.
    HiveValue* FindValue(std::string_view name);
    const HiveValue* FindValue(std::string_view name) const;
    // Replaces the value's data, keeping the name it is stored under, or appends a new value.
    void SetValue(std::string_view name, std::variant<std::int32_t, std::string> data);

    friend bool operator==(const HiveKey&, const HiveKey&) = default;
};

// The whole hive in file order. Parent keys need not be listed: a key exists when it or a key
// below it is listed.
struct Hive {
    std::vector<HiveKey> keys;

    // The listed key of that path, compared without regard to ASCII case; nullptr when absent.
    HiveKey* FindKey(std::string_view path);
    const HiveKey* FindKey(std::string_view path) const;
    // True when the key is listed or has a listed key below it.
    bool KeyExists(std::string_view path) const;
    // The listed key of that path, appended (under the spelling given) when it is not listed.
    HiveKey& AddKey(std::string_view path);

    friend bool operator==(const Hive&, const Hive&) = default;
};

// Reads a hive text; nullopt when the text is not a hive this program can read. Lines end in
// CRLF or LF; blank lines and lines starting with ';' are skipped. The first other line is
// "REGEDIT4", followed by key lines "[HKEY_CURRENT_USER\path]" and value lines
// "name"=dword:8 hex digits or "name"="text" (with \\ and \" escapes) under a key. A key listed
// twice gathers the values of both; a value listed twice in a key keeps its first spelling and
// its last data. Runs in time linear in the text's length.
std::optional<Hive> ParseHive(std::string_view text);

// Writes the hive as REGEDIT4 text with CRLF line ends; ParseHive reads it back unchanged as
// long as every path is a valid key path and every name and string is storable.
std::string SerialiseHive(const Hive& hive);

// A key path as a caller names it ("\software\kelmorta\"): leading and trailing backslashes
// stripped. nullopt when nothing is left, a segment is empty or a byte is a control character.
std::optional<std::string> NormaliseKeyPath(std::string_view path);

// Whether a value name or string can be kept in a hive: no NUL, CR or LF byte.
bool IsStorableText(std::string_view text);

// Equality without regard to ASCII case; other bytes (UTF-8 included) compare as they are.
bool NamesEqual(std::string_view a, std::string_view b);

} // namespace kalvor
