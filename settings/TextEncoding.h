// Conversions between UTF-8 and UTF-16LE for the hive files that the registry editor writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kalvor {

// UTF-16LE bytes (without their mark) as UTF-8; nullopt for an odd length or a lone surrogate.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes);

// UTF-8 text as UTF-16LE bytes (without a mark); nullopt when the text is not valid UTF-8
// (overlong forms, surrogates and code points above U+10FFFF included).
std::optional<std::string> Utf8ToUtf16Le(std::string_view text);

} // namespace kalvor
