// What the fuzz targets share: a check that stops the run on a broken property, and the input
// split into a leading selector byte and the text that follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// A property that must hold for every input; libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace kalvor::fuzz {

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The decimal separator a leading byte selects: "," itself, "." for anything else.
inline char Separator(char selector) {
    return selector == ',' ? ',' : '.';
}

} // namespace kalvor::fuzz
