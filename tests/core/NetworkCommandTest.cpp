// Tests of the kalvor-network program as built: its CSV, its report, its spreadsheet read back
// from the file's sheet XML, and its exit statuses.
#include "NetworkSample.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;
using test::Close;

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs a program (found on PATH when the name has no "/") in the folder, capturing both outputs.
Outcome RunIn(const fs::path& folder, const std::string& program,
              std::vector<std::string> arguments) {
    const fs::path out = folder / ".out", err = folder / ".err";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) {
            ::_exit(126);
        }
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        ::execvp(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(out),
                test::ReadFile(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
}

Outcome RunNetwork(const fs::path& folder, std::vector<std::string> arguments) {
    return RunIn(folder, KALVOR_NETWORK_PROGRAM, std::move(arguments));
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts{""};
    for (const char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

double Number(const std::string& text) {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    EXPECT_EQ(used, text.size()) << text;
    return value;
}

// The inputs of the sample beside its computed figures, in file order.
struct SampleInputs {
    const char *parent, *shape, *size, *material;
    double length, kms;
};
const SampleInputs Inputs[] = {
    {"", "rectangular", "800*500", "0", 12.5, 1.2}, {"1", "round", "315", "1", 20, 3.5},
    {"1", "rectangular", "600*400", "0", 8, 0.6},   {"5", "round", "250", "1", 3.5, 2.1},
    {"2", "flat-oval", "500*250", "0", 4, 0.4},     {"2", "round", "355", "0", 6, 2.3},
    {"5", "flat-oval", "400*200", "1", 7, 1.1},     {"2", "rectangular", "300*200", "0", 2, 0.9},
};

class NetworkCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kalvor-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        test::WriteFile(m_folder / "sample.kalvor.json", test::SampleNetworkText);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    fs::path m_folder;
};

TEST_F(NetworkCommandTest, CsvOfTheHandComputedNetwork) {
    const Outcome run = RunNetwork(m_folder, {"sample.kalvor.json", "--csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    std::vector<std::string> lines = Split(run.out, '\n');
    ASSERT_EQ(lines.back(), ""); // every line ends with LF
    lines.pop_back();
    ASSERT_EQ(lines.size(), 1 + std::size(test::SampleRows));
    EXPECT_EQ(
        lines[0],
        "id,parent,shape,size,material,flow,length,kms,F,De,V,R,Rl,Pd,Z,P,path,main,imbalance,"
        "over_vmax");
    // The number text: "." as separator, at most 15 significant digits.
    const std::regex numberText(R"(-?[0-9]+(\.[0-9]+)?(E-?[0-9]+)?)");
    for (std::size_t i = 0; i < std::size(test::SampleRows); ++i) {
        const test::SampleRow& row = test::SampleRows[i];
        const SampleInputs& in = Inputs[i];
        SCOPED_TRACE(lines[i + 1]);
        const std::vector<std::string> f = Split(lines[i + 1], ',');
        ASSERT_EQ(f.size(), 20u);
        EXPECT_EQ(f[0], row.id);
        EXPECT_EQ(f[1], in.parent);
        EXPECT_EQ(f[2], in.shape);
        EXPECT_EQ(f[3], in.size);
        EXPECT_EQ(f[4], in.material);
        const double expected[] = {row.flow, in.length, in.kms, row.F, row.De, row.V,
                                   row.R,    row.Rl,    row.Pd, row.Z, row.P,  row.path};
        for (std::size_t c = 0; c < std::size(expected); ++c) {
            const std::string& text = f[5 + c];
            EXPECT_TRUE(std::regex_match(text, numberText)) << text;
            // Significant digits: without sign, point, exponent and leading zeros.
            const std::string digits = std::regex_replace(
                std::regex_replace(text, std::regex(R"(E.*|[-.])"), ""), std::regex("^0+"), "");
            EXPECT_LE(digits.size(), 15u) << text;
            EXPECT_TRUE(Close(Number(text), expected[c])) << c << ": " << text;
        }
        EXPECT_EQ(f[17], row.main ? "1" : "0");
        if (row.imbalance) {
            EXPECT_TRUE(Close(Number(f[18]), *row.imbalance)) << f[18];
        } else {
            EXPECT_EQ(f[18], "");
        }
        EXPECT_EQ(f[19], row.V > 6.0 ? "1" : "0"); // the network's Vmax is 6 m/s
    }
}

TEST_F(NetworkCommandTest, CsvQuotesTextsAndShowsChosenSizes) {
    test::WriteFile(m_folder / "sizes" / "RoundDuct.txt", "0.2\r\n0.4\r\n");
    test::WriteFile(m_folder / "auto.json", R"({"kalvor-network": 1, "sections": [
        {"id": "a,b", "shape": "round", "size": "auto", "length": 2, "kms": 0},
        {"id": "q\"x", "parent": "a,b", "shape": "round", "size": "auto", "length": 0, "flow": 1800}]})");
    const Outcome run = RunNetwork(m_folder, {"auto.json", "--catalogues", "sizes", "--csv"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Split(run.out, '\n');
    ASSERT_EQ(lines.size(), 4u);
    // 1800 m3/h at 6 m/s needs 0.0833 m2: 200 mm gives 0.0314, 400 mm 0.1257.
    EXPECT_TRUE(lines[1].starts_with("\"a,b\",,round,400,0,1800,2,0,")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("\"q\"\"x\",\"a,b\",round,400,0,1800,0,0,")) << lines[2];
}

TEST_F(NetworkCommandTest, ReportWithTotals) {
    const Outcome run = RunNetwork(m_folder, {"sample.kalvor.json"});
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = Split(run.out, '\n');
    const std::string expected[] = {
        "Аэродинамический расчёт сети «П1»",
        "Воздух: t = 18 °C, PBar = 1000 гПа, плотность 1.198 кг/м³; Vmax = 6 м/с",
        "Главное направление: 1 → 2 → 5 → 6",
        "Потери давления на главном направлении: 86.19 Па",
        "Давление вентилятора с запасом 15 %: 99.12 Па",
        "Невязка выше 12 %: уч. 7 (45.6 %), уч. 8 (90.4 %)",
    };
    for (const std::string& line : expected) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\n"
                                                                            << run.out;
    }
    // The table: the main path marked, a flagged imbalance with "!", one that passes without.
    auto rowOf = [&](const std::string& id) {
        return *std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.size() > 3 && line.substr(3).starts_with(id + " ");
        });
    };
    EXPECT_TRUE(rowOf("6").starts_with("*  6 "));
    EXPECT_TRUE(rowOf("7").starts_with("   7 "));
    EXPECT_TRUE(rowOf("7").ends_with(" 45.6!")) << rowOf("7");
    EXPECT_TRUE(rowOf("3").ends_with(" 10.5")) << rowOf("3");
    EXPECT_TRUE(rowOf("1").ends_with(" 16.58")) << rowOf("1");
}

// The cells of the spreadsheet's first sheet by reference ("F2"): the text of a string cell, the
// number text of a numeric one (empty for an empty cell), and whether it is a string.
struct Cell {
    std::string value;
    bool string = false;
};
std::map<std::string, Cell> SheetCells(const std::string& sheet, const std::string& shared) {
    std::vector<std::string> strings;
    const std::regex item(R"(<si><t[^>]*>([^<]*)</t></si>)");
    for (auto it = std::sregex_iterator(shared.begin(), shared.end(), item);
         it != std::sregex_iterator(); ++it) {
        strings.push_back((*it)[1]);
    }
    std::map<std::string, Cell> cells;
    const std::regex cell(R"re(<c r="([A-Z]+[0-9]+)"([^>]*?)(/>|>(.*?)</c>))re");
    for (auto it = std::sregex_iterator(sheet.begin(), sheet.end(), cell);
         it != std::sregex_iterator(); ++it) {
        const std::string attributes = (*it)[2], inner = (*it)[4];
        std::smatch value;
        std::string text;
        if (std::regex_search(inner, value, std::regex("<v>([^<]*)</v>"))) {
            text = value[1];
        }
        const bool isString = attributes.find("t=\"s\"") != std::string::npos;
        cells[(*it)[1]] = {isString ? strings.at(std::stoul(text)) : text, isString};
    }
    return cells;
}

TEST_F(NetworkCommandTest, SpreadsheetHoldsNumbersInNumericCells) {
    const Outcome run = RunNetwork(m_folder, {"sample.kalvor.json", "--xlsx", "table.xlsx"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const Outcome sheet =
        RunIn(m_folder, "unzip", {"-p", "table.xlsx", "xl/worksheets/sheet1.xml"});
    const Outcome shared = RunIn(m_folder, "unzip", {"-p", "table.xlsx", "xl/sharedStrings.xml"});
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    ASSERT_EQ(shared.status, 0) << shared.err;
    const std::map<std::string, Cell> cells = SheetCells(sheet.out, shared.out);

    auto find = [&](const std::string& text) {
        const auto at = std::find_if(cells.begin(), cells.end(), [&](const auto& entry) {
            return entry.second.string && entry.second.value == text;
        });
        return at == cells.end() ? std::string() : at->first;
    };
    auto rowNumber = [](const std::string& reference) {
        return std::stoi(reference.substr(reference.find_first_of("0123456789")));
    };
    // The title block: the name, then labels with numeric cells.
    EXPECT_EQ(find("Аэродинамический расчёт сети «П1»"), "A1");
    const std::pair<std::string, double> title[] = {
        {"Температура воздуха t, °C", 18},
        {"Барометрическое давление PBar, гПа", 1000},
        {"Плотность воздуха, кг/м³", test::SampleDensity},
        {"Наибольшая скорость для подбора Vmax, м/с", 6},
    };
    for (const auto& [label, value] : title) {
        const std::string at = find(label);
        ASSERT_FALSE(at.empty()) << label;
        const Cell& number = cells.at("F" + std::to_string(rowNumber(at)));
        EXPECT_FALSE(number.string);
        EXPECT_TRUE(Close(Number(number.value), value)) << label << " " << number.value;
    }

    const std::string columns = "ABCDEFGHIJKLMNOPQR";
    const std::string headings[] = {"№ уч.",     "От уч.",  "Форма",     "Размер, мм", "Материал",
                                    "L, м³/ч",   "l, м",    "Σζ",        "F, м²",      "De, м",
                                    "v, м/с",    "R, Па/м", "R·l, Па",   "Pд, Па",     "Z, Па",
                                    "R·l+Z, Па", "ΣΔP, Па", "Невязка, %"};
    const std::string first = find("№ уч.");
    ASSERT_FALSE(first.empty());
    const int headingRow = rowNumber(first);
    for (std::size_t c = 0; c < std::size(headings); ++c) {
        EXPECT_EQ(cells.at(columns[c] + std::to_string(headingRow)).value, headings[c]);
    }
    const char* shapes[] = {"Прямоугольный",  "Круглый", "Прямоугольный",  "Круглый",
                            "Плоскоовальный", "Круглый", "Плоскоовальный", "Прямоугольный"};
    for (std::size_t i = 0; i < std::size(test::SampleRows); ++i) {
        const test::SampleRow& row = test::SampleRows[i];
        const std::string r = std::to_string(headingRow + 1 + static_cast<int>(i));
        SCOPED_TRACE(row.id);
        const std::string texts[] = {row.id, Inputs[i].parent, shapes[i], Inputs[i].size,
                                     Inputs[i].material[0] == '0' ? "Стальной" : "Гибкий"};
        for (std::size_t c = 0; c < std::size(texts); ++c) {
            const std::string reference = columns[c] + r;
            if (texts[c].empty()) {
                EXPECT_EQ(cells.count(reference) ? cells.at(reference).value : "", "");
            } else {
                EXPECT_TRUE(cells.at(reference).string);
                EXPECT_EQ(cells.at(reference).value, texts[c]);
            }
        }
        const double numbers[] = {
            row.flow, Inputs[i].length, Inputs[i].kms, row.F, row.De, row.V,
            row.R,    row.Rl,           row.Pd,        row.Z, row.P,  row.path};
        for (std::size_t c = 0; c < std::size(numbers); ++c) {
            const Cell& cell = cells.at(columns[5 + c] + r);
            EXPECT_FALSE(cell.string) << columns[5 + c];
            EXPECT_TRUE(Close(Number(cell.value), numbers[c]))
                << columns[5 + c] << " " << cell.value;
        }
        const Cell& imbalance = cells.at("R" + r);
        if (row.imbalance) {
            EXPECT_FALSE(imbalance.string);
            EXPECT_TRUE(Close(Number(imbalance.value), *row.imbalance)) << imbalance.value;
        } else {
            EXPECT_EQ(imbalance.value, "");
        }
    }
    // The totals: labels with numeric cells.
    const std::string fan = find("Давление вентилятора с запасом, Па");
    ASSERT_FALSE(fan.empty());
    EXPECT_TRUE(Close(Number(cells.at("F" + std::to_string(rowNumber(fan))).value),
                      test::SampleFanPressure));
    EXPECT_FALSE(find("Невязка выше 12 %: уч. 7 (45.6 %), уч. 8 (90.4 %)").empty());
}

// The kms column is the section's typed Σζ plus its fittings': 0.5 + 2·0.21 + 0.126.
TEST_F(NetworkCommandTest, CsvKmsTakesTheFittings) {
    test::WriteFile(m_folder / "f.json", R"({"kalvor-network": 1, "sections": [
        {"id": "1", "shape": "round", "size": "400", "length": 2, "flow": 500, "kms": 0.5,
         "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": 2},
                      {"type": "elbow-rect", "angle": 45, "r_b": 1, "h_b": 1}]}]})");
    const Outcome run = RunNetwork(m_folder, {"f.json", "--csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Split(run.out, '\n');
    ASSERT_GE(lines.size(), 2u);
    const std::vector<std::string> header = Split(lines[0], ',');
    const std::vector<std::string> row = Split(lines[1], ',');
    ASSERT_EQ(header.size(), row.size());
    const auto kms = std::find(header.begin(), header.end(), "kms") - header.begin();
    EXPECT_TRUE(test::Close(Number(row[static_cast<std::size_t>(kms)]), 1.046)) << lines[1];
}

// The report warns when the air lies outside −20…+40 °C, where the friction loss is not to 5 %.
TEST_F(NetworkCommandTest, ReportWarnsOfAirOutsideTheViscosityRange) {
    const std::pair<const char*, bool> cases[] = {
        {"-40", true}, {"-20", false}, {"20", false}, {"40", false}, {"40.5", true}, {"300", true},
    };
    for (const auto& [t, warned] : cases) {
        test::WriteFile(m_folder / "air.json",
                        std::string(R"({"kalvor-network": 1, "air": {"t": )") + t +
                            R"(, "PBar": 1013}, "sections": [
            {"id": "1", "shape": "round", "size": "400", "length": 2, "flow": 500}]})");
        const Outcome run = RunNetwork(m_folder, {"air.json"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string warning = std::string("Внимание: t = ") + t + " °C вне −20…+40 °C";
        EXPECT_EQ(run.out.find(warning) != std::string::npos, warned) << t << "\n" << run.out;
        EXPECT_EQ(run.out.find("вязкость") != std::string::npos ||
                      run.out.find("Вязкость") != std::string::npos,
                  warned)
            << t;
    }
}

TEST_F(NetworkCommandTest, ExitStatuses) {
    test::WriteFile(m_folder / "broken.json", "{\"kalvor-network\": 1,");
    test::WriteFile(m_folder / "auto.json", R"({"kalvor-network": 1, "sections": [
        {"id": "1", "shape": "round", "size": "auto", "length": 2, "flow": 500}]})");
    test::WriteFile(m_folder / "huge.json", R"({"kalvor-network": 1, "sections": [
        {"id": "1", "shape": "round", "size": "400", "length": 1e308, "flow": 5000}]})");
    test::WriteFile(m_folder / "sizes" / "RoundDuct.txt", "0.2\r\n");
    test::WriteFile(m_folder / "elbow.json", R"({"kalvor-network": 1, "sections": [
        {"id": "1", "shape": "round", "size": "400", "length": 2, "flow": 500,
         "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1},
                      {"type": "elbow-round", "angle": 90, "r_d": 0.2}]}]})");
    const std::string usage =
        "Использование: kalvor-network ФАЙЛ [--csv | --xlsx ВЫХОД] [--catalogues ПАПКА]\n";
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;    // the first line of the message
        bool usage = false; // the usage follows: the arguments are at fault
    } const cases[] = {
        {{}, 2, "kalvor-network: не задан файл сети", true},
        {{"missing.json"},
         2,
         "kalvor-network: missing.json: файл «missing.json» не прочитан: файл не найден"},
        {{"broken.json", "--csv"},
         2,
         "kalvor-network: broken.json: файл не в формате JSON (строка 1, позиция 22)"},
        {{"sample.kalvor.json", "--bogus"},
         2,
         "kalvor-network: неизвестный параметр «--bogus»",
         true},
        {{"sample.kalvor.json", "other.json"},
         2,
         "kalvor-network: лишний аргумент «other.json»: файл сети уже задан",
         true},
        {{"sample.kalvor.json", "--csv", "--xlsx", "t.xlsx"},
         2,
         "kalvor-network: --csv и --xlsx вместе не задаются",
         true},
        {{"sample.kalvor.json", "--xlsx"}, 2, "kalvor-network: после --xlsx нужно имя файла", true},
        {{"sample.kalvor.json", "--catalogues", "nowhere"},
         2,
         "kalvor-network: папка каталогов «nowhere» не найдена",
         true},
        {{"auto.json"},
         1,
         "kalvor-network: auto.json: участок «1», поле «size»: каталог «RoundDuct.txt» в папке «.» "
         "не прочитан: файл не найден; по нему подбираются размеры участков: 1"},
        {{"huge.json", "--csv"},
         1,
         "kalvor-network: huge.json: участок «1»: расчёт невозможен: переполнение (слишком "
         "большие числа)"},
        {{"sample.kalvor.json", "--xlsx", "no/t.xlsx"},
         1,
         "kalvor-network: sample.kalvor.json: файл «no/t.xlsx» не записан: папка «no» не найдена"},
        {{"elbow.json", "--csv"},
         2,
         "kalvor-network: elbow.json: участок «1», поле «fittings»: местное сопротивление № 2, "
         "параметр «r_d»: Отвод круглый гладкий (elbow-round): параметр «Относительный радиус "
         "поворота R/D» r_d = 0,2 вне допустимого диапазона r_d ≥ 0,5"},
        {{"auto.json", "--catalogues=sizes"}, 0, ""},
        {{"--", "sample.kalvor.json"}, 0, ""},
        {{"--help"}, 0, ""},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& argument : c.arguments) {
            shown += argument + " ";
        }
        SCOPED_TRACE(shown);
        const Outcome run = RunNetwork(m_folder, c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(Split(run.err, '\n').front(), c.err);
        EXPECT_EQ(run.err.ends_with(usage), c.usage) << run.err;
        if (c.status != 0) {
            EXPECT_EQ(run.out, "");
        }
    }
    EXPECT_FALSE(fs::exists(m_folder / "t.xlsx"));
    const Outcome help = RunNetwork(m_folder, {"-h"});
    EXPECT_TRUE(help.out.starts_with(usage));
    EXPECT_NE(help.out.find("по умолчанию текущая папка"), std::string::npos);
}

} // namespace
} // namespace kalvor
