// Catalogue files: the standard sizes of one duct shape, in metres, one entry per line.
#pragma once

#include "common/Errors.h"
#include "hydraulics/Formulas.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

struct SizeCatalogue {
    std::vector<double> A, B; // B stays empty for Round
};

// "Duct.txt", "OvalDuct.txt", "RoundDuct.txt"
std::string CatalogueFileName(DuctShape shape);

// Reads the shape's file (or fileName) from the current directory; names match without case.
// Throws InOutError.
SizeCatalogue ReadSizeCatalogue(DuctShape shape, std::string_view fileName = {});

// The same from the given folder, which need not be the current directory (nor become it).
SizeCatalogue ReadSizeCatalogueIn(const std::string& folder, DuctShape shape,
                                  std::string_view fileName = {});

// Replaces the shape's file with the entries, each size rounded to 0.001 m. The previous file is
// kept whole until the new one is complete. Throws InOutError.
void WriteSizeCatalogue(DuctShape shape, const SizeCatalogue& entries);

// The entries held in a file's bytes: numbers separated by bytes up to 32 (blanks, tabs, line
// ends), "." as the decimal point, the data ending at the physical end or at the first 0x1A.
// Throws InOutError 106 ("Invalid numeric input") for a number not in the accepted form.
SizeCatalogue ParseSizeCatalogue(DuctShape shape, std::string_view bytes);

// One 23-character number field: sign position, d.dddddddddddddd (15 significant digits),
// "E", exponent sign, four exponent digits. Zero of either sign is " 0.00000000000000E+0000".
// Throws InOutError 106 for an infinite or NaN value, which no reader could take back.
std::string FormatCatalogueField(double value);

// The bytes the writer puts into the shape's file: per entry its sizes rounded to 0.001 m as
// number fields (A then B, or D), then CR LF. Throws InOutError 106 as FormatCatalogueField does
// and std::invalid_argument when a two-number shape has fewer B values than A values.
std::string FormatSizeCatalogue(DuctShape shape, const SizeCatalogue& entries);

// The real name of the file in the current directory that fileName reaches: fileName itself when
// it exists, else an entry equal to it ignoring ASCII case (the first in byte order when several
// are), else nothing. A name with a "/" is taken as it is.
std::optional<std::string> FindFileNoCase(std::string_view fileName);

// The same in the given folder: the path "<folder>/<real name>" (the bare name for ".").
std::optional<std::string> FindFileNoCaseIn(const std::string& folder, std::string_view fileName);

// The input-output error for a system error number: ENOENT 2, ENOTDIR 3, EMFILE and ENFILE 4,
// EACCES, EPERM and EROFS 5, any other "I/O error <errno>" (0 counts as EIO, never as success).
InOutError InOutErrorFromErrno(int systemError);

} // namespace kalvor
