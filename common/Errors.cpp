// Messages of the error types, worded exactly as the program shows them.
#include "common/Errors.h"

namespace kalvor {

namespace {
std::string Quoted(std::string_view text, std::string_view tail) {
    std::string message = "'";
    message += text;
    message += "' ";
    message += tail;
    return message;
}
} // namespace

ConversionError ConversionError::Float(std::string_view text) {
    return ConversionError(Quoted(text, "is not a valid floating point value"));
}

ConversionError ConversionError::Integer(std::string_view text) {
    return ConversionError(Quoted(text, "is not a valid integer value"));
}

FloatError::FloatError(Kind kind_, const std::string& message)
    : Error(message)
    , kind(kind_) {}

FloatError FloatError::DivisionByZero() {
    return FloatError(Kind::DivisionByZero, "Floating point division by zero");
}
FloatError FloatError::InvalidOperation() {
    return FloatError(Kind::InvalidOperation, "Invalid floating point operation");
}
FloatError FloatError::Overflow() {
    return FloatError(Kind::Overflow, "Floating point overflow");
}

InOutError::InOutError(int errorCode)
    : Error(MessageFor(errorCode))
    , code(errorCode) {}

InOutError::InOutError(int errorCode, const std::string& message)
    : Error(message)
    , code(errorCode) {}

std::string InOutError::MessageFor(int errorCode) {
    switch (errorCode) {
    case io::FileNotFound:
        return "File not found";
    case io::InvalidFilename:
        return "Invalid filename";
    case io::TooManyOpenFiles:
        return "Too many open files";
    case io::AccessDenied:
        return "File access denied";
    case io::ReadBeyondEnd:
        return "Read beyond end of file";
    case io::DiskFull:
        return "Disk full";
    case io::InvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(errorCode);
    }
}

RegistryError RegistryError::GetData(std::string_view name) {
    return RegistryError("Failed to get data for '" + std::string(name) + "'");
}

RegistryError RegistryError::InvalidType(std::string_view name) {
    return RegistryError("Invalid data type for '" + std::string(name) + "'");
}

RegistryError RegistryError::SetData(std::string_view name) {
    return RegistryError("Failed to set data for '" + std::string(name) + "'");
}

} // namespace kalvor
