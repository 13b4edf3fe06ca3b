// Catalogue files: reading and writing the standard sizes of each duct shape.
#include "catalogues/CatalogueFile.h"

#include "common/NumberText.h"
#include "common/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <system_error>

#include <dirent.h>
#include <sys/stat.h>

namespace kalvor {

std::string CatalogueFileName(DuctShape shape) {
    // In the order of the shapes: rectangular, flat-oval, round.
    static const char* const Names[] = {"Duct.txt", "OvalDuct.txt", "RoundDuct.txt"};
    return Names[static_cast<int>(shape)];
}

// ---- Reading -----------------------------------------------------------------------------------

namespace {

constexpr char EndOfData = '\x1A';
constexpr std::size_t MaxNumberLength = 64;

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// One number as the catalogue files hold it: an optional sign, digits with at most one ".",
// optionally "E" or "e", an optional sign and at least one digit. A value too small for a double
// reads as 0; one too large is not a number.
std::optional<double> ConvertNumber(std::string_view text) {
    try {
        return ParseNumber(text, '.');
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// Sequential reading of a catalogue's bytes, number by number and line by line.
class CatalogueReader {
public:
    explicit CatalogueReader(std::string_view bytes)
        : m_data(bytes.substr(0, bytes.find(EndOfData))) {}

    bool AtEnd() const { return m_pos >= m_data.size(); }

    // Skips separators across line ends; at the end of the data the number is 0. Otherwise takes
    // the run of at most 64 non-separators; the byte that ends the run stays unread.
    double ReadNumber(bool& readable) {
        while (!AtEnd() && IsSeparator(m_data[m_pos])) {
            ++m_pos;
        }
        if (AtEnd()) {
            return 0.0;
        }
        const std::size_t start = m_pos;
        while (!AtEnd() && !IsSeparator(m_data[m_pos]) && m_pos - start < MaxNumberLength) {
            ++m_pos;
        }
        const std::optional<double> value = ConvertNumber(m_data.substr(start, m_pos - start));
        if (!value) {
            readable = false;
            return 0.0;
        }
        return *value;
    }

    // Consumes up to and including the next LF. A CR ends the line when an LF or the end of the
    // data follows it; a CR before any other byte is skipped like the rest of the line.
    void SkipLine() {
        while (!AtEnd()) {
            const char c = m_data[m_pos++];
            if (c == '\n') {
                return;
            }
            if (c == '\r') {
                if (AtEnd()) {
                    return;
                }
                if (m_data[m_pos] == '\n') {
                    ++m_pos;
                    return;
                }
            }
        }
    }

private:
    std::string_view m_data;
    std::size_t m_pos = 0;
};

} // namespace

SizeCatalogue ParseSizeCatalogue(DuctShape shape, std::string_view bytes) {
    SizeCatalogue catalogue;
    CatalogueReader reader(bytes);
    while (!reader.AtEnd()) {
        bool readable = true;
        catalogue.A.push_back(reader.ReadNumber(readable));
        if (shape != DuctShape::Round) {
            catalogue.B.push_back(reader.ReadNumber(readable));
        }
        reader.SkipLine();
        if (!readable) {
            throw InOutError(io::InvalidNumericInput);
        }
    }
    return catalogue;
}

// ---- Writing the text --------------------------------------------------------------------------

std::string FormatCatalogueField(double value) {
    if (!std::isfinite(value)) {
        throw InOutError(io::InvalidNumericInput);
    }
    if (value == 0.0) {
        return " 0.00000000000000E+0000";
    }
    // d.dddddddddddddde+XX: 15 significant digits rounded to nearest, at least two exponent digits.
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = scientific.find('e');
    const std::string_view exponentDigits = scientific.substr(e + 2);

    std::string field;
    field.reserve(23);
    field += value < 0 ? '-' : ' ';
    field += scientific.substr(0, e);
    field += 'E';
    field += scientific[e + 1];
    field.append(4 - exponentDigits.size(), '0');
    field += exponentDigits;
    return field;
}

std::string FormatSizeCatalogue(DuctShape shape, const SizeCatalogue& entries) {
    const bool twoNumbers = shape != DuctShape::Round;
    if (twoNumbers && entries.B.size() < entries.A.size()) {
        throw std::invalid_argument("catalogue entries without a second size");
    }
    std::string bytes;
    bytes.reserve(entries.A.size() * (twoNumbers ? 48 : 25));
    for (std::size_t i = 0; i < entries.A.size(); ++i) {
        bytes += FormatCatalogueField(RoundTo(entries.A[i], 3));
        if (twoNumbers) {
            bytes += FormatCatalogueField(RoundTo(entries.B[i], 3));
        }
        bytes += "\r\n";
    }
    return bytes;
}

// ---- Files -------------------------------------------------------------------------------------

InOutError InOutErrorFromErrno(int systemError) {
    switch (systemError) {
    case ENOENT:
        return InOutError(io::FileNotFound);
    case ENOTDIR:
        return InOutError(io::InvalidFilename);
    case EMFILE:
    case ENFILE:
        return InOutError(io::TooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
        return InOutError(io::AccessDenied);
    case 0:
        systemError = EIO;
        break;
    default:
        break;
    }
    // A system number that equals one of the runtime's own codes (EIO is 5) keeps the generic
    // message with its number rather than borrowing that code's text.
    return InOutError(systemError, "I/O error " + std::to_string(systemError));
}

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// A name missing from a directory that has itself been removed is a path that no longer exists.
InOutError ErrorFromErrno(int systemError, const std::string& folder = ".") {
    struct stat current {};
    if (systemError == ENOENT && (stat(folder.c_str(), &current) != 0 || current.st_nlink == 0)) {
        return InOutError(io::InvalidFilename);
    }
    return InOutErrorFromErrno(systemError);
}

} // namespace

std::optional<std::string> FindFileNoCase(std::string_view fileName) {
    return FindFileNoCaseIn(".", fileName);
}

std::optional<std::string> FindFileNoCaseIn(const std::string& folder, std::string_view fileName) {
    const std::string name(fileName);
    const std::string prefix =
        folder == "." ? std::string() : (folder.ends_with('/') ? folder : folder + "/");
    struct stat status {};
    if (::lstat((prefix + name).c_str(), &status) == 0) {
        return prefix + name;
    }
    if (name.find('/') != std::string::npos) {
        return std::nullopt;
    }
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view candidate = entry->d_name;
        if (EqualNoCase(candidate, name) && (!found || candidate < *found)) {
            found = std::string(candidate);
        }
    }
    ::closedir(directory);
    if (found) {
        return prefix + *found;
    }
    return std::nullopt;
}

SizeCatalogue ReadSizeCatalogue(DuctShape shape, std::string_view fileName) {
    return ReadSizeCatalogueIn(".", shape, fileName);
}

SizeCatalogue ReadSizeCatalogueIn(const std::string& folder, DuctShape shape,
                                  std::string_view fileName) {
    const std::string wanted = fileName.empty() ? CatalogueFileName(shape) : std::string(fileName);
    const std::string prefix =
        folder == "." ? std::string() : (folder.ends_with('/') ? folder : folder + "/");
    std::string bytes;
    if (const int error =
            ReadWholeFile(FindFileNoCaseIn(folder, wanted).value_or(prefix + wanted), bytes)) {
        throw ErrorFromErrno(error, folder);
    }
    return ParseSizeCatalogue(shape, bytes);
}

void WriteSizeCatalogue(DuctShape shape, const SizeCatalogue& entries) {
    // The whole text is formed first, so a size that cannot be written touches no file.
    const std::string bytes = FormatSizeCatalogue(shape, entries);
    const std::string canonical = CatalogueFileName(shape);
    const std::string target = FindFileNoCase(canonical).value_or(canonical);
    // A failure at any step leaves the old catalogue as it was.
    if (const int error = ReplaceFileWith(target, bytes)) {
        throw ErrorFromErrno(error);
    }
}

} // namespace kalvor
