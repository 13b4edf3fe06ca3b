// Tests of the catalogue files: reading rules, the written form, case-blind names, safe saving.
#include "catalogues/CatalogueFile.h"

#include "common/Errors.h"
#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;
using Sizes = std::vector<double>;
constexpr DuctShape Rect = DuctShape::Rectangular;
constexpr DuctShape Oval = DuctShape::FlatOval;
constexpr DuctShape Round = DuctShape::Round;

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutFile(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each test works in a fresh current directory of its own.
class CatalogueFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "kalvor-catalogue-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        fs::current_path(m_folder);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path m_previous, m_folder;
};

// Runs body in a child process; returns "<code> <message>" of the InOutError it threw.
template <class Body> std::string InOutErrorInChild(Body body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return "pipe failed";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string report = "no error";
        try {
            body();
        } catch (const InOutError& error) {
            report = std::to_string(error.code) + " " + error.what();
        } catch (...) {
            report = "other exception";
        }
        (void)!::write(pipeFds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[256];
    ssize_t count = 0;
    while ((count = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return report;
}

// ---- Reading rules -----------------------------------------------------------------------------

struct ParseCase {
    const char* name;
    DuctShape shape;
    std::string bytes;
    Sizes A, B;
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << c.name;
}

class CatalogueParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CatalogueParseTest, ReadsEntries) {
    const ParseCase& c = GetParam();
    const SizeCatalogue read = ParseSizeCatalogue(c.shape, c.bytes);
    EXPECT_EQ(read.A, c.A);
    EXPECT_EQ(read.B, c.B);
}

const std::string Written01And025 = " 1.00000000000000E-0001 2.50000000000000E-0001\r\n";
const std::string Run64 = "0." + std::string(62, '0'); // 64 characters, the value 0

INSTANTIATE_TEST_SUITE_P(
    Rules, CatalogueParseTest,
    ::testing::Values(
        ParseCase{"LastLineEnded", Rect, "0.1 0.25\r\n0.2 0.3\r\n", {0.1, 0.2}, {0.25, 0.3}},
        ParseCase{"LastLineOpen", Rect, "0.1 0.25\r\n0.2 0.3", {0.1, 0.2}, {0.25, 0.3}},
        ParseCase{"EmptyFile", Rect, "", {}, {}},
        ParseCase{"BlankLinesBetween", Round, "0.1\r\n\r\n   \r\n\t\r\n0.2\r\n", {0.1, 0.2}, {}},
        ParseCase{"BlanksAfterLast", Rect, "0.1 0.25\r\n  ", {0.1, 0.0}, {0.25, 0.0}},
        ParseCase{"EmptyLineAfterLast", Round, "0.1\r\n\r\n", {0.1, 0.0}, {}},
        ParseCase{"OnlyALineEnd", Oval, "\r\n", {0.0}, {0.0}},
        ParseCase{"OneNumberTakesNextLine",
                  Rect,
                  "0.5\r\n0.3 0.4\r\n0.6 0.7\r\n",
                  {0.5, 0.6},
                  {0.3, 0.7}},
        ParseCase{"ExtraNumbersIgnored", Rect, "0.1 0.2 0,5\r\n", {0.1}, {0.2}},
        ParseCase{"SecondRoundNumberIgnored", Round, "0.1 x\r\n0.2", {0.1, 0.2}, {}},
        ParseCase{
            "WrittenEqualsTyped", Rect, Written01And025 + "0.1 0.25", {0.1, 0.1}, {0.25, 0.25}},
        ParseCase{"TabsAndControls", Oval, "\t0.5\t\x01 0.25\x0b\n", {0.5}, {0.25}},
        ParseCase{"LfOnly", Round, "0.1\n0.2\n", {0.1, 0.2}, {}},
        ParseCase{"CtrlZEndsData",
                  Round,
                  "0.1\r\n\x1A"
                  "0,5\r\n",
                  {0.1},
                  {}},
        ParseCase{"CtrlZInsideLine", Rect, "0.1 0.2\r\n0.3\x1A 0.4", {0.1, 0.3}, {0.2, 0.0}},
        ParseCase{
            "CrBeforeOtherByteGoesOn", Rect, "0.1 0.2\r0.3 0.4\r\n0.5 0.6", {0.1, 0.5}, {0.2, 0.6}},
        ParseCase{"CrCrLf", Round, "0.1\r\r\n0.2", {0.1, 0.2}, {}},
        ParseCase{"CrAtEnd", Round, "0.1\r", {0.1}, {}},
        ParseCase{"RunCutAfter64", Rect, Run64 + "25\r\n", {0.0}, {25.0}},
        ParseCase{"SignsAndExponents",
                  Rect,
                  "+0.5 5E-1\r\n-.25 2.5e+0\r\n5. 1e-999",
                  {0.5, -0.25, 5.0},
                  {0.5, 2.5, 0.0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    DuctShape shape;
    std::string bytes;
};

void PrintTo(const BadCase& c, std::ostream* out) {
    *out << c.name;
}

class CatalogueBadNumberTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(CatalogueBadNumberTest, FailsWithInvalidNumericInput) {
    try {
        ParseSizeCatalogue(GetParam().shape, GetParam().bytes);
        FAIL() << "no error";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code, io::InvalidNumericInput);
        EXPECT_STREQ(error.what(), "Invalid numeric input");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CatalogueBadNumberTest,
    ::testing::Values(BadCase{"Comma", Round, "0,5\r\n"}, BadCase{"CommaAsB", Rect, "0.1 0,5"},
                      BadCase{"LaterLine", Oval, "0.1 0.2\r\n0.3 abc\r\n"},
                      BadCase{"TwoPoints", Round, "1.2.3"}, BadCase{"BareExponent", Round, "1e"},
                      BadCase{"ExponentSignOnly", Round, "1e+"}, BadCase{"OnlyPoint", Round, "."},
                      BadCase{"OnlySign", Round, "-"}, BadCase{"DoubleSign", Round, "--1"},
                      BadCase{"Hex", Round, "0x10"}, BadCase{"Infinity", Round, "inf"},
                      BadCase{"Overflow", Round, "1e999"}, BadCase{"RunTail", Rect, Run64 + "x"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The written form --------------------------------------------------------------------------

TEST(CatalogueFieldTest, Fields) {
    const struct {
        double value;
        const char* field;
    } cases[] = {
        {0.1, " 1.00000000000000E-0001"},
        {0.25, " 2.50000000000000E-0001"},
        {0.3, " 3.00000000000000E-0001"},
        {0.0, " 0.00000000000000E+0000"},
        {-0.0, " 0.00000000000000E+0000"},
        {-0.5, "-5.00000000000000E-0001"},
        {1234.5, " 1.23450000000000E+0003"},
        {0.123456789012345678, " 1.23456789012346E-0001"},
        {std::nextafter(10.0, 0.0), " 1.00000000000000E+0001"},
        {1e-300, " 1.00000000000000E-0300"},
        {5e-324, " 4.94065645841247E-0324"},
        {1.7976931348623157e308, " 1.79769313486232E+0308"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(FormatCatalogueField(c.value), c.field);
    }
    for (double bad : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
        EXPECT_THROW(FormatCatalogueField(bad), InOutError);
    }
}

TEST_F(CatalogueFileTest, WrittenBytes) {
    const struct {
        DuctShape shape;
        SizeCatalogue entries;
        std::string bytes;
    } cases[] = {
        {Rect, {{0.1}, {0.25}}, Written01And025},
        {Oval,
         {{0.1234, 0.0025}, {0.1236, 0.0035}},
         " 1.23000000000000E-0001 1.24000000000000E-0001\r\n"
         " 2.00000000000000E-0003 4.00000000000000E-0003\r\n"},
        {Round, {{0.315, 0.3}, {}}, " 3.15000000000000E-0001\r\n 3.00000000000000E-0001\r\n"},
        {Round, {{}, {}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        WriteSizeCatalogue(c.shape, c.entries);
        EXPECT_EQ(FileBytes(CatalogueFileName(c.shape)), c.bytes);
    }
}

TEST_F(CatalogueFileTest, RoundTripKeepsWholeMillimetres) {
    SizeCatalogue entries;
    for (int i = 0; i < 200; ++i) {
        entries.A.push_back(0.0371 * i + 0.00049);
        entries.B.push_back(2.5 - 0.01237 * i);
    }
    WriteSizeCatalogue(Rect, entries);
    const std::string written = FileBytes("Duct.txt");
    const SizeCatalogue read = ReadSizeCatalogue(Rect);
    ASSERT_EQ(read.A.size(), entries.A.size());
    ASSERT_EQ(read.B.size(), entries.B.size());
    for (std::size_t i = 0; i < read.A.size(); ++i) {
        EXPECT_EQ(read.A[i], std::nearbyint(entries.A[i] * 1000) / 1000);
        EXPECT_EQ(read.B[i], std::nearbyint(entries.B[i] * 1000) / 1000);
    }
    WriteSizeCatalogue(Rect, read);
    EXPECT_EQ(FileBytes("Duct.txt"), written);
}

// ---- Files and their errors --------------------------------------------------------------------

TEST_F(CatalogueFileTest, MissingFileIsNotFound) {
    try {
        ReadSizeCatalogue(Round);
        FAIL() << "no error";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code, io::FileNotFound);
        EXPECT_STREQ(error.what(), "File not found");
    }
}

TEST_F(CatalogueFileTest, NamesMatchWithoutCase) {
    PutFile("ROUNDDUCT.TXT", "0.1\r\n");
    PutFile("RoundDuct.txt.bak", "0.9\r\n");
    for (const char* asked : {"Roundduct.txt", "RoundDuct.txt", ""}) {
        SCOPED_TRACE(asked);
        EXPECT_EQ(ReadSizeCatalogue(Round, asked).A, Sizes{0.1});
    }
    // A save goes to the file the readers find; no second file appears.
    WriteSizeCatalogue(Round, {{0.2}, {}});
    EXPECT_EQ(ReadSizeCatalogue(Round, "Roundduct.txt").A, Sizes{0.2});
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"ROUNDDUCT.TXT", "RoundDuct.txt.bak"}));
    // An exact name wins over names that differ in case.
    PutFile("Roundduct.txt", "0.3\r\n");
    EXPECT_EQ(ReadSizeCatalogue(Round, "Roundduct.txt").A, Sizes{0.3});
    EXPECT_EQ(ReadSizeCatalogue(Round, "ROUNDDUCT.TXT").A, Sizes{0.2});
    // Of several names that differ only in case, the first in byte order is taken.
    EXPECT_EQ(ReadSizeCatalogue(Round, "roundDuct.txt").A, Sizes{0.2});
}

TEST_F(CatalogueFileTest, ReadsFromAnotherFolderWithoutMovingThere) {
    fs::create_directory("sizes");
    PutFile("sizes/ROUNDDUCT.TXT", "0.1\r\n");
    PutFile("sizes/Duct.txt", "0.5 0.3\r\n");
    PutFile("RoundDuct.txt", "0.9\r\n"); // the current directory's own file is not the one read
    const fs::path absolute = m_folder / "sizes";
    struct Case {
        std::string folder;
        DuctShape shape;
        const char* name;
        Sizes A;
    } const cases[] = {
        {"sizes", Round, "", {0.1}},
        {"sizes/", Round, "Roundduct.txt", {0.1}},
        {absolute.string(), Round, "RoundDuct.txt", {0.1}},
        {absolute.string(), Rect, "", {0.5}},
        {".", Round, "", {0.9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + " " + c.name);
        EXPECT_EQ(ReadSizeCatalogueIn(c.folder, c.shape, c.name).A, c.A);
        EXPECT_EQ(fs::current_path(), m_folder);
    }
    EXPECT_EQ(FindFileNoCaseIn("sizes", "roundduct.txt"), "sizes/ROUNDDUCT.TXT");
    EXPECT_EQ(FindFileNoCaseIn(".", "roundduct.txt"), "RoundDuct.txt");
    EXPECT_EQ(FindFileNoCaseIn("sizes", "OvalDuct.txt"), std::nullopt);
    EXPECT_EQ(InOutErrorInChild([] { ReadSizeCatalogueIn("sizes", Oval); }), "2 File not found");
    EXPECT_EQ(InOutErrorInChild([] { ReadSizeCatalogueIn("no-such-folder", Oval); }),
              "3 Invalid filename");
}

TEST_F(CatalogueFileTest, SaveCreatesCanonicalNameAndKeepsMode) {
    WriteSizeCatalogue(Oval, {{0.5}, {0.25}});
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"OvalDuct.txt"});
    fs::permissions("OvalDuct.txt",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteSizeCatalogue(Oval, {{0.6}, {0.3}});
    EXPECT_EQ(fs::status("OvalDuct.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ReadSizeCatalogue(Oval).A, Sizes{0.6});
}

TEST_F(CatalogueFileTest, SaveFailingPartWayKeepsOldFile) {
    WriteSizeCatalogue(Rect, {{0.15, 0.2}, {0.1, 0.15}});
    const std::string old = FileBytes("Duct.txt");
    SizeCatalogue many;
    many.A.assign(5000, 0.5);
    many.B.assign(5000, 0.25);
    const std::string report = InOutErrorInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        WriteSizeCatalogue(Rect, many);
    });
    EXPECT_EQ(report, "27 I/O error 27");
    EXPECT_EQ(FileBytes("Duct.txt"), old);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"Duct.txt"});
}

TEST_F(CatalogueFileTest, DirectoryInPlaceOfFile) {
    fs::create_directory("duct.TXT");
    EXPECT_EQ(InOutErrorInChild([] { ReadSizeCatalogue(Rect); }), "21 I/O error 21");
    EXPECT_EQ(InOutErrorInChild([] {
                  WriteSizeCatalogue(Rect, {{0.1}, {0.1}});
              }),
              "21 I/O error 21");
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"duct.TXT"});
}

TEST_F(CatalogueFileTest, NoHandleLeft) {
    PutFile("Duct.txt", "0.1 0.1\r\n");
    auto exhaust = [] {
        const int lowest = ::open("/dev/null", O_RDONLY);
        ::close(lowest);
        const rlimit limit{static_cast<rlim_t>(lowest), static_cast<rlim_t>(lowest)};
        ::setrlimit(RLIMIT_NOFILE, &limit);
    };
    EXPECT_EQ(InOutErrorInChild([&] {
                  exhaust();
                  ReadSizeCatalogue(Rect);
              }),
              "4 Too many open files");
    EXPECT_EQ(InOutErrorInChild([&] {
                  exhaust();
                  WriteSizeCatalogue(Rect, {{0.2}, {0.2}});
              }),
              "4 Too many open files");
    EXPECT_EQ(FileBytes("Duct.txt"), "0.1 0.1\r\n");
}

TEST_F(CatalogueFileTest, RemovedCurrentDirectoryIsInvalidFilename) {
    fs::create_directory("gone");
    fs::current_path("gone");
    fs::remove(m_folder / "gone");
    EXPECT_EQ(InOutErrorInChild([] { ReadSizeCatalogue(Round); }), "3 Invalid filename");
    EXPECT_EQ(InOutErrorInChild([] {
                  WriteSizeCatalogue(Round, {{0.1}, {}});
              }),
              "3 Invalid filename");
}

TEST(CatalogueErrnoTest, SystemErrorsMapOntoCodes) {
    const struct {
        int systemError;
        int code;
        const char* message;
    } cases[] = {
        {ENOENT, 2, "File not found"},      {ENOTDIR, 3, "Invalid filename"},
        {EMFILE, 4, "Too many open files"}, {ENFILE, 4, "Too many open files"},
        {EACCES, 5, "File access denied"},  {EPERM, 5, "File access denied"},
        {EROFS, 5, "File access denied"},   {ENOSPC, ENOSPC, "I/O error 28"},
        {EIO, EIO, "I/O error 5"},          {0, EIO, "I/O error 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.systemError);
        const InOutError error = InOutErrorFromErrno(c.systemError);
        EXPECT_EQ(error.code, c.code);
        EXPECT_STREQ(error.what(), c.message);
    }
}

// ---- The shipped catalogues --------------------------------------------------------------------

double RowArea(DuctShape shape, const SizeCatalogue& rows, std::size_t i) {
    const double a = rows.A[i];
    switch (shape) {
    case DuctShape::Rectangular:
        return a * rows.B[i];
    case DuctShape::FlatOval:
        return (a - rows.B[i]) * rows.B[i] + std::numbers::pi * rows.B[i] * rows.B[i] / 4;
    case DuctShape::Round:
        break;
    }
    return std::numbers::pi * a * a / 4;
}

TEST_F(CatalogueFileTest, ShippedCataloguesReadBackInOrderOfArea) {
    const struct {
        DuctShape shape;
        std::size_t leastRows;
        double firstA, firstB, lastA, lastB;
    } cases[] = {
        {Rect, 30, 0.15, 0.1, 2.0, 1.0},
        {Oval, 20, 0.2, 0.1, 2.0, 0.5},
        {Round, 26, 0.1, 0.0, 2.0, 0.0},
    };
    for (const auto& c : cases) {
        const std::string name = CatalogueFileName(c.shape);
        SCOPED_TRACE(name);
        const std::string bytes = FileBytes(fs::path(KALVOR_SOURCE_DIR) / "catalogues/data" / name);
        PutFile(name, bytes);
        const SizeCatalogue rows = ReadSizeCatalogue(c.shape);
        ASSERT_GE(rows.A.size(), c.leastRows);
        EXPECT_EQ(FormatSizeCatalogue(c.shape, rows), bytes) << "not in the written form";
        EXPECT_EQ(rows.A.front(), c.firstA);
        EXPECT_EQ(rows.A.back(), c.lastA);
        if (c.shape != Round) {
            EXPECT_EQ(rows.B.front(), c.firstB);
            EXPECT_EQ(rows.B.back(), c.lastB);
        }
        for (std::size_t i = 0; i < rows.A.size(); ++i) {
            if (c.shape != Round) {
                EXPECT_GE(rows.A[i], rows.B[i]) << "row " << i;
            }
            if (c.shape == Oval) {
                EXPECT_TRUE(rows.B[i] >= 0.1 && rows.B[i] <= 0.5) << "row " << i;
            }
            if (i > 0) {
                EXPECT_LE(RowArea(c.shape, rows, i - 1), RowArea(c.shape, rows, i)) << "row " << i;
            }
        }
    }
    const Sizes diameters{0.1,   0.125, 0.14, 0.16, 0.18, 0.2,  0.225, 0.25, 0.28,
                          0.315, 0.355, 0.4,  0.45, 0.5,  0.56, 0.63,  0.71, 0.8,
                          0.9,   1.0,   1.12, 1.25, 1.4,  1.6,  1.8,   2.0};
    EXPECT_EQ(ReadSizeCatalogue(Round, "Roundduct.txt").A, diameters);
}

} // namespace
} // namespace kalvor
