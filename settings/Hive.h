// The per-user hive as text: a registry export file of keys below HKEY_CURRENT_USER and their
// values, read as the Windows registry editor writes it or as a person types it.
#pragma once

#include "common/Names.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kalvor {

// Registry data the program does not interpret, kept as read: the value type ("hex:" is type 3,
// binary; "hex(N):" any other) and its bytes.
struct HiveBinary {
    std::uint32_t type = 3;
    std::vector<std::uint8_t> bytes;

    friend bool operator==(const HiveBinary&, const HiveBinary&) = default;
};

using HiveData = std::variant<std::int32_t, std::string, HiveBinary>;

// One named value: a registry DWORD (read as a signed 32-bit integer), a registry string or other
// data kept as bytes. The empty name is the key's default value, written @.
struct HiveValue {
    std::string name;
    HiveData data;

    bool IsInteger() const { return std::holds_alternative<std::int32_t>(data); }
    bool IsString() const { return std::holds_alternative<std::string>(data); }
    // The value as a DWORD: "dword:" data, or four bytes of type 4 (a DWORD written in hex,
    // least significant byte first). nullopt for anything else.
    std::optional<std::int32_t> Integer() const;

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
    void SetValue(std::string_view name, HiveData data);

    friend bool operator==(const HiveKey&, const HiveKey&) = default;
};

// How the file was written, so that a rewrite keeps its form.
enum class HiveEncoding { Utf8, Utf8WithMark, Utf16WithMark };

// The whole hive in file order. Parent keys need not be listed: a key exists when it or a key
// below it is listed.
struct Hive {
    std::vector<HiveKey> keys;
    bool version5 = false; // "Windows Registry Editor Version 5.00" rather than "REGEDIT4"
    HiveEncoding encoding = HiveEncoding::Utf8;

    // The listed key of that path, compared without regard to ASCII case; nullptr when absent.
    HiveKey* FindKey(std::string_view path);
    const HiveKey* FindKey(std::string_view path) const;
    // True when the key is listed or has a listed key below it.
    bool KeyExists(std::string_view path) const;
    // The listed key of that path, appended (under the spelling given) when it is not listed.
    HiveKey& AddKey(std::string_view path);

    friend bool operator==(const Hive&, const Hive&) = default;
};

// Reads a hive file's bytes; nullopt when they are not a hive this program can read.
//
// The bytes are UTF-8, with or without a byte-order mark, or UTF-16LE with its mark; a trailing
// Ctrl-Z (0x1A) and blanks after it are ignored. Lines end in CR LF, LF or CR. Blank lines and
// lines starting with ';' are skipped, and blanks at either end of a line do not count. The first
// other line is "REGEDIT4" or "Windows Registry Editor Version 5.00". Then come key lines
// "[HKEY_CURRENT_USER\path]" and, under a key, value lines: a quoted name or @ (the default
// value), "=" with blanks allowed around it, and "text" (with \\ and \" escapes), dword: with 1 to
// 8 hex digits in any case, or hex: / hex(N): with comma-separated bytes that a trailing backslash
// continues on the next line. "name"=- deletes the value listed before and
// [-HKEY_CURRENT_USER\path] deletes the key with every key below it; value lines under a deleted
// key set nothing.
//
// A key listed twice gathers the values of both; a value listed twice in a key keeps its first
// spelling and its last data. Runs in time linear in the length (times a logarithm for keys).
std::optional<Hive> ParseHive(std::string_view bytes);

// Writes the hive in its header and encoding with CR LF line ends; ParseHive reads it back
// unchanged as long as every path is a valid key path and every name and string is storable. A
// UTF-16 hive holding text that is not UTF-8 is written as UTF-8.
std::string SerialiseHive(const Hive& hive);

// A key path as a caller names it ("\software\kelmorta\"): leading and trailing backslashes
// stripped. nullopt when nothing is left, a segment is empty or a byte is a control character.
std::optional<std::string> NormaliseKeyPath(std::string_view path);

// Whether a value name or string can be kept in a hive: no NUL, CR or LF byte.
bool IsStorableText(std::string_view text);

} // namespace kalvor
