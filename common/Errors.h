// Every error a user may see. what() is the message shown in the standard error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvor {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A text that is not a number where a number is converted.
struct ConversionError : Error {
    using Error::Error;
    static ConversionError Float(std::string_view text);
    static ConversionError Integer(std::string_view text);
};

// What the floating-point unit would raise: division by zero, an invalid operation, an overflow.
struct FloatError : Error {
    enum class Kind { DivisionByZero, InvalidOperation, Overflow };
    FloatError(Kind kind, const std::string& message);
    Kind kind;
    static FloatError DivisionByZero();
    static FloatError InvalidOperation();
    static FloatError Overflow();
};

// Input-output errors of the catalogue files, by the runtime's codes.
struct InOutError : Error {
    explicit InOutError(int errorCode);
    InOutError(int errorCode, const std::string& message); // a system number with its own text
    static std::string MessageFor(int errorCode);
    int code;
};

// Failures of the settings store.
struct RegistryError : Error {
    using Error::Error;
    static RegistryError GetData(std::string_view name);
    static RegistryError InvalidType(std::string_view name);
    static RegistryError SetData(std::string_view name);
};

// The runtime's input-output codes.
namespace io {
inline constexpr int FileNotFound = 2;
inline constexpr int InvalidFilename = 3;
inline constexpr int TooManyOpenFiles = 4;
inline constexpr int AccessDenied = 5;
inline constexpr int ReadBeyondEnd = 100;
inline constexpr int DiskFull = 101;
inline constexpr int InvalidNumericInput = 106;
} // namespace io

} // namespace kalvor
