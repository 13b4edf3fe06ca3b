// The command line of the network calculation: arguments, the run, the exit status.
#include "network/NetworkCommand.h"

#include "network/NetworkFile.h"
#include "network/NetworkTable.h"
#include "network/NetworkXlsx.h"

#include <optional>
#include <utility>

#include <sys/stat.h>

namespace kalvor {

namespace {

constexpr const char* Program = "kalvor-network";
constexpr const char* Usage =
    "Использование: kalvor-network ФАЙЛ [--csv | --xlsx ВЫХОД] [--catalogues ПАПКА]\n";

enum class Output { Report, Csv, Xlsx };

struct Options {
    std::string file;
    Output output = Output::Report;
    std::string xlsx;
    std::string catalogues = ".";
    bool help = false;
};

// The options, or the message about what cannot be used.
std::optional<std::string> ParseArguments(const std::vector<std::string>& arguments,
                                          Options& options) {
    bool haveFile = false, haveCatalogues = false, optionsEnd = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](const std::string& name, std::string& into) -> std::optional<std::string> {
            if (argument.size() > name.size() && argument[name.size()] == '=') {
                into = argument.substr(name.size() + 1);
            } else if (i + 1 < arguments.size()) {
                into = arguments[++i];
            } else {
                return "после " + name + " нужно " + (name == "--xlsx" ? "имя файла" : "имя папки");
            }
            if (into.empty()) {
                return "после " + name + " пустое имя";
            }
            return std::nullopt;
        };
        auto is = [&](const std::string& name) {
            return argument == name || argument.starts_with(name + "=");
        };
        if (optionsEnd || argument.empty() || argument == "-" || argument[0] != '-') {
            if (haveFile) {
                return "лишний аргумент «" + argument + "»: файл сети уже задан";
            }
            options.file = argument;
            haveFile = true;
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--csv") {
            if (options.output == Output::Xlsx) {
                return "--csv и --xlsx вместе не задаются";
            }
            options.output = Output::Csv;
        } else if (is("--xlsx")) {
            if (options.output == Output::Csv) {
                return "--csv и --xlsx вместе не задаются";
            }
            if (options.output == Output::Xlsx) {
                return "--xlsx задан дважды";
            }
            if (auto problem = value("--xlsx", options.xlsx)) {
                return problem;
            }
            options.output = Output::Xlsx;
        } else if (is("--catalogues")) {
            if (haveCatalogues) {
                return "--catalogues задан дважды";
            }
            if (auto problem = value("--catalogues", options.catalogues)) {
                return problem;
            }
            haveCatalogues = true;
        } else {
            return "неизвестный параметр «" + argument + "»";
        }
    }
    if (options.help) {
        return std::nullopt;
    }
    if (!haveFile) {
        return "не задан файл сети";
    }
    struct stat folder {};
    if (::stat(options.catalogues.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
        return "папка каталогов «" + options.catalogues + "» не найдена";
    }
    return std::nullopt;
}

} // namespace

std::string NetworkCommandHelp() {
    return std::string(Usage) +
           "\n"
           "Рассчитывает сеть воздуховодов из файла сети ФАЙЛ (JSON, \"kalvor-network\": 1) и\n"
           "выводит аэродинамическую таблицу с итогами: главное направление и его потери,\n"
           "давление вентилятора с запасом, ответвления с невязкой выше допустимой.\n"
           "\n"
           "  --csv               вместо таблицы вывести CSV: заголовок\n"
           "                      id,parent,shape,size,material,flow,length,kms,F,De,V,R,Rl,Pd,Z,P,"
           "path,main,imbalance\n"
           "                      и строка на участок; числа с точкой; size — размер расчёта, мм;\n"
           "                      flow — расход через участок, м³/ч; main — 1 на главном\n"
           "                      направлении; imbalance пуст, где участок не сравнивается\n"
           "  --xlsx ВЫХОД        вместо таблицы записать её в файл Excel ВЫХОД\n"
           "  --catalogues ПАПКА  где лежат каталоги Duct.txt, OvalDuct.txt и RoundDuct.txt для\n"
           "                      размеров \"auto\"; по умолчанию текущая папка, как у "
           "калькулятора\n"
           "  -h, --help          эта справка\n"
           "\n"
           "Код завершения: 0 — рассчитано; 2 — файл сети или аргумент не годится (сообщение в\n"
           "stderr); 1 — иная ошибка: каталог не прочитан, участок не рассчитать, ВЫХОД не\n"
           "записан.\n";
}

int RunNetworkCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err) {
    Options options;
    if (const std::optional<std::string> problem = ParseArguments(arguments, options)) {
        err << Program << ": " << *problem << "\n" << Usage;
        return NetworkUnusable;
    }
    if (options.help) {
        out << NetworkCommandHelp();
        return out ? NetworkComputed : NetworkFailed;
    }
    Network network;
    CheckedNetwork checked; // what loading found, computed from without a second check
    try {
        network = LoadNetworkFile(options.file, &checked);
    } catch (const std::exception& error) {
        err << Program << ": " << options.file << ": " << error.what() << "\n";
        return NetworkUnusable;
    }
    if (options.output == Output::Xlsx) {
        try {
            OutputPath(options.xlsx, options.file); // never the network itself, never a device
        } catch (const std::exception& error) {
            err << Program << ": " << error.what() << "\n";
            return NetworkUnusable;
        }
    }
    try {
        const NetworkResults results = ComputeNetwork(
            network, ReadNetworkCatalogues(network, options.catalogues), std::move(checked));
        switch (options.output) {
        case Output::Report:
            out << NetworkReport(network, results);
            break;
        case Output::Csv:
            out << NetworkCsv(network, results);
            break;
        case Output::Xlsx:
            WriteNetworkXlsx(options.xlsx, network, results);
            break;
        }
        out.flush();
        if (!out) {
            err << Program << ": вывод не записан\n";
            return NetworkFailed;
        }
    } catch (const std::exception& error) {
        err << Program << ": " << options.file << ": " << error.what() << "\n";
        return NetworkFailed;
    }
    return NetworkComputed;
}

} // namespace kalvor
