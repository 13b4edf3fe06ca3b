// The hive's keys and values with their case-blind lookup, and the writing of the hive text.
#include "settings/Hive.h"

#include "settings/TextEncoding.h"

#include <cstddef>

namespace kalvor {

namespace {

constexpr std::string_view RootName = "HKEY_CURRENT_USER\\";
constexpr std::uint32_t DwordType = 4;
constexpr std::size_t BytesPerLine = 25;
constexpr char HexDigits[] = "0123456789abcdef";

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
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

void AppendHex(std::string& out, std::uint32_t bits, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += HexDigits[(bits >> shift) & 0xF];
}

// "hex:" for binary data, "hex(N):" for another type, then the bytes with a continuation line
// after every BytesPerLine of them, as the registry editor breaks long values.
void AppendBinary(std::string& out, const HiveBinary& binary) {
    out += "hex";
    if (binary.type != 3) {
        out += '(';
        int digits = 1;
        while (digits < 8 && (binary.type >> (4 * digits)) != 0)
            ++digits;
        AppendHex(out, binary.type, digits);
        out += ')';
    }
    out += ':';
    for (std::size_t i = 0; i < binary.bytes.size(); ++i) {
        if (i > 0) {
            out += ',';
            if (i % BytesPerLine == 0)
                out += "\\\r\n  ";
        }
        AppendHex(out, binary.bytes[i], 2);
    }
}

bool StartsWithPath(std::string_view path, std::string_view prefix) {
    return path.size() > prefix.size() && path[prefix.size()] == '\\' &&
           NamesEqual(path.substr(0, prefix.size()), prefix);
}

} // namespace

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

std::optional<std::int32_t> HiveValue::Integer() const {
    if (const auto* number = std::get_if<std::int32_t>(&data))
        return *number;
    const auto* binary = std::get_if<HiveBinary>(&data);
    if (binary == nullptr || binary->type != DwordType || binary->bytes.size() != 4)
        return std::nullopt;
    std::uint32_t bits = 0;
    for (std::size_t i = 4; i-- > 0;)
        bits = bits << 8 | binary->bytes[i];
    return static_cast<std::int32_t>(bits);
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

void HiveKey::SetValue(std::string_view name, HiveData data) {
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

std::string SerialiseHive(const Hive& hive) {
    std::string out(hive.version5 ? "Windows Registry Editor Version 5.00" : "REGEDIT4");
    out += "\r\n\r\n";
    for (const HiveKey& key : hive.keys) {
        out += '[';
        out += RootName;
        out += key.path;
        out += "]\r\n";
        for (const HiveValue& value : key.values) {
            if (value.name.empty())
                out += '@';
            else
                AppendQuoted(out, value.name);
            out += '=';
            if (const auto* number = std::get_if<std::int32_t>(&value.data)) {
                out += "dword:";
                AppendHex(out, static_cast<std::uint32_t>(*number), 8);
            } else if (const auto* text = std::get_if<std::string>(&value.data)) {
                AppendQuoted(out, *text);
            } else {
                AppendBinary(out, std::get<HiveBinary>(value.data));
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    switch (hive.encoding) {
    case HiveEncoding::Utf8:
        break;
    case HiveEncoding::Utf8WithMark:
        return "\xEF\xBB\xBF" + out;
    case HiveEncoding::Utf16WithMark:
        if (auto utf16 = Utf8ToUtf16Le(out))
            return "\xFF\xFE" + *utf16;
        break; // text that UTF-16 cannot carry stays UTF-8
    }
    return out;
}

} // namespace kalvor
