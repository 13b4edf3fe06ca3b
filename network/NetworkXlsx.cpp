// The network's table written through libxlsxwriter.
#include "network/NetworkXlsx.h"

#include "common/SafeFile.h"
#include "network/NetworkFile.h"
#include "network/NetworkTable.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <locale.h>
#include <map>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>

namespace kalvor {

namespace {

// libxlsxwriter writes numbers and column widths with printf, which follows the C library's
// locale: under a Russian desktop's locale it would write "0,845704" into the sheet, and no
// spreadsheet reads such a file. While the book is written this thread's locale is "C"; other
// threads and the program's own locale are left as they are.
class ClassicNumbers {
public:
    ClassicNumbers()
        : m_classic(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
        if (m_classic != static_cast<locale_t>(nullptr)) {
            m_previous = uselocale(m_classic);
        }
    }
    ~ClassicNumbers() {
        if (m_classic != static_cast<locale_t>(nullptr)) {
            uselocale(m_previous);
            freelocale(m_classic);
        }
    }
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;

private:
    locale_t m_classic;
    locale_t m_previous = static_cast<locale_t>(nullptr);
};

// What the library could not do, in the program's words; the file is then not written.
struct XlsxFailure {
    std::string reason;
};

std::string LibraryErrorText(lxw_error error) {
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "не хватило памяти";
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return "не удалось записать временные файлы книги";
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return "не удалось сжать книгу в файл (возможно, диск заполнен или нет доступа)";
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return "текст длиннее 32 767 знаков, больше ячейка книги не вмещает";
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return "строк больше, чем вмещает лист книги (1 048 576)";
    default:
        return "ошибка библиотеки XLSX № " + std::to_string(static_cast<int>(error));
    }
}

// "F12": a cell as a spreadsheet names it.
std::string CellName(lxw_row_t row, lxw_col_t column) {
    std::string letters;
    for (unsigned c = column + 1u; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters + std::to_string(row + 1);
}

// Every call into the library is checked: a failure stops the workbook with its place.
void Check(lxw_error error, lxw_row_t row, lxw_col_t column) {
    if (error != LXW_NO_ERROR) {
        throw XlsxFailure{"ячейка " + CellName(row, column) + ": " + LibraryErrorText(error)};
    }
}

template <class T> T* Made(T* made) {
    if (made == nullptr) {
        throw XlsxFailure{LibraryErrorText(LXW_ERROR_MEMORY_MALLOC_FAILED)};
    }
    return made;
}

// The library also prints its failures on standard error; they are said here in the program's
// words instead, so its lines are held back while a workbook is written.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0) {
            ::dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            ::close(null);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;
    ~QuietStandardError() {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }

private:
    int m_saved = -1;
};

// The formats of one workbook, made once for each combination that is used.
class Formats {
public:
    explicit Formats(lxw_workbook* workbook)
        : m_workbook(workbook) {}

    // A table cell: decimals -1 for the general number form, -2 for text.
    lxw_format* Cell(int decimals, bool bold, bool red) {
        lxw_format*& format = m_cells[{decimals, bold, red}];
        if (format == nullptr) {
            format = Made(workbook_add_format(m_workbook));
            format_set_border(format, LXW_BORDER_THIN);
            if (decimals >= 0) {
                const std::string pattern =
                    decimals == 0 ? "0"
                                  : "0." + std::string(static_cast<std::size_t>(decimals), '0');
                format_set_num_format(format, pattern.c_str());
            }
            if (bold) {
                format_set_bold(format);
            }
            if (red) {
                format_set_font_color(format, LXW_COLOR_RED);
            }
        }
        return format;
    }

    lxw_format* Heading() {
        if (m_heading == nullptr) {
            m_heading = Made(workbook_add_format(m_workbook));
            format_set_bold(m_heading);
            format_set_text_wrap(m_heading);
            format_set_align(m_heading, LXW_ALIGN_CENTER);
            format_set_align(m_heading, LXW_ALIGN_VERTICAL_CENTER);
            format_set_border(m_heading, LXW_BORDER_THIN);
        }
        return m_heading;
    }

    lxw_format* Title() {
        if (m_title == nullptr) {
            m_title = Made(workbook_add_format(m_workbook));
            format_set_bold(m_title);
            format_set_font_size(m_title, 14);
        }
        return m_title;
    }

private:
    lxw_workbook* m_workbook;
    std::map<std::tuple<int, bool, bool>, lxw_format*> m_cells;
    lxw_format* m_heading = nullptr;
    lxw_format* m_title = nullptr;
};

// Labels stand in the first column and run over the empty ones after it; values come here.
constexpr lxw_col_t ValueColumn = 5;

void WriteSheet(lxw_workbook* workbook, const Network& network, const NetworkResults& results) {
    lxw_worksheet* sheet = Made(workbook_add_worksheet(workbook, "Расчёт сети"));
    Formats formats(workbook);
    lxw_row_t row = 0;

    const std::vector<std::string> title = NetworkTitleLines(network, results);
    Check(worksheet_write_string(sheet, row, 0, title.front().c_str(), formats.Title()), row, 0);
    ++row;
    const std::pair<const char*, double> air[] = {
        {"Температура воздуха t, °C", network.air.t},
        {"Барометрическое давление PBar, гПа", network.air.PBar},
        {"Плотность воздуха, кг/м³", results.density},
        {"Наибольшая скорость для подбора Vmax, м/с", network.Vmax},
    };
    for (const auto& [label, value] : air) {
        Check(worksheet_write_string(sheet, row, 0, label, nullptr), row, 0);
        Check(worksheet_write_number(sheet, row, ValueColumn, value, nullptr), row, ValueColumn);
        ++row;
    }
    ++row;

    const std::vector<FormColumn>& columns = NetworkFormColumns();
    for (lxw_col_t c = 0; c < columns.size(); ++c) {
        const std::string heading(columns[c].heading);
        Check(worksheet_write_string(sheet, row, c, heading.c_str(), formats.Heading()), row, c);
        const double width = columns[c].numeric ? 10.0 : (c == 2 ? 16.0 : 12.0);
        Check(worksheet_set_column(sheet, c, c, width, nullptr), 0, c);
    }
    // Whether the section runs faster than its Vmax: 1 or 0, as in the CSV.
    const auto vmaxColumn = static_cast<lxw_col_t>(columns.size());
    Check(worksheet_write_string(sheet, row, vmaxColumn, "v > vmax", formats.Heading()), row,
          vmaxColumn);
    Check(worksheet_set_column(sheet, vmaxColumn, vmaxColumn, 10.0, nullptr), 0, vmaxColumn);
    worksheet_freeze_panes(sheet, row + 1, 0);
    ++row;

    for (std::size_t i = 0; i < network.sections.size(); ++i, ++row) {
        const SectionResult& result = results.sections[i];
        const std::vector<FormCell> cells = NetworkFormRow(network, results, i);
        for (lxw_col_t c = 0; c < cells.size(); ++c) {
            const bool red = result.flagged && std::size_t{c} + 1 == cells.size();
            if (cells[c].number) {
                Check(worksheet_write_number(sheet, row, c, *cells[c].number,
                                             formats.Cell(columns[c].decimals, result.main, red)),
                      row, c);
            } else {
                Check(worksheet_write_string(
                          sheet, row, c, cells[c].text.c_str(),
                          formats.Cell(columns[c].numeric ? -1 : -2, result.main, red)),
                      row, c);
            }
        }
        Check(worksheet_write_number(sheet, row, vmaxColumn, result.overVmax ? 1.0 : 0.0,
                                     formats.Cell(0, result.main, result.overVmax)),
              row, vmaxColumn);
    }
    ++row;

    if (!network.sections.empty()) {
        const std::pair<const char*, double> totals[] = {
            {"Потери давления на главном направлении, Па", results.mainLoss},
            {"Запас, %", network.reserve},
            {"Давление вентилятора с запасом, Па", results.fanPressure},
            {"Допустимая невязка, %", network.tolerance},
        };
        for (const auto& [label, value] : totals) {
            Check(worksheet_write_string(sheet, row, 0, label, nullptr), row, 0);
            Check(worksheet_write_number(sheet, row, ValueColumn, value,
                                         formats.Cell(2, false, false)),
                  row, ValueColumn);
            ++row;
        }
    }
    for (const std::string& line : NetworkTotalsLines(network, results)) {
        Check(worksheet_write_string(sheet, row, 0, line.c_str(), nullptr), row, 0);
        ++row;
    }
    if (!network.sections.empty()) {
        Check(worksheet_write_string(
                  sheet, row, 0,
                  "Жирным — участки главного направления; красным — невязка выше допустимой",
                  nullptr),
              row, 0);
        ++row;
    }
}

} // namespace

void WriteNetworkXlsx(const std::string& named, const Network& network,
                      const NetworkResults& results) {
    const ClassicNumbers classic;
    const std::string path = OutputPath(named);
    std::string failure;
    const int error = ReplaceFileWith(path, [&](int, const std::string& temporary) {
        const QuietStandardError quiet;
        lxw_workbook* workbook = workbook_new(temporary.c_str());
        if (workbook == nullptr) {
            failure = LibraryErrorText(LXW_ERROR_MEMORY_MALLOC_FAILED);
            return EIO;
        }
        try {
            WriteSheet(workbook, network, results);
        } catch (const XlsxFailure& refused) {
            failure = refused.reason;
        }
        // Writes the file and frees the book; after a failure only frees it.
        const lxw_error closed = workbook_close(workbook);
        if (failure.empty() && closed != LXW_NO_ERROR) {
            failure = LibraryErrorText(closed);
        }
        return failure.empty() ? 0 : EIO;
    });
    if (error != 0) {
        const std::string reason = !failure.empty() ? failure
                                   : error == ENOENT ? "папка «" + FolderOf(path) + "» не найдена"
                                                     : SystemErrorText(error);
        throw Error("файл «" + named + "» не записан: " + reason);
    }
}

} // namespace kalvor
