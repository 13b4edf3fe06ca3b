// Names matched without regard to case, as the settings and the catalogue files name things.
#pragma once

#include <string>
#include <string_view>

namespace kalvor {

// The ASCII letter in lower case; every other byte (UTF-8 included) as it is.
constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with its ASCII letters in lower case.
std::string Folded(std::string_view text);

// Equality without regard to ASCII case; other bytes compare as they are.
bool NamesEqual(std::string_view a, std::string_view b);

} // namespace kalvor
