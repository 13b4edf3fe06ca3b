// kalvor-setup: creates what the calculator needs before its first start and prints the working
// folder in which it is to be started; with --start it then starts the calculator there.
#include "setup/FirstStart.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The folder of this executable; empty when the system does not tell it.
fs::path OwnFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path();
}

// The standard catalogues installed beside this executable (<prefix>/share/kalvor/catalogues for
// <prefix>/bin/kalvor-setup), wherever the prefix is; the build tree keeps a copy in the same
// place. Empty when the system does not tell where this executable is.
fs::path StandardCatalogues(const fs::path& ownFolder) {
    if (ownFolder.empty()) {
        return {};
    }
    return (ownFolder / ".." / "share" / "kalvor" / "catalogues").lexically_normal();
}

// Replaces this process by the calculator beside this executable (or on PATH when this one's folder
// is unknown), started in the working folder.
// The set-up may have failed: the calculator then reports what it finds itself, in its windows,
// rather than a menu entry that does nothing.
int StartCalculator(const fs::path& ownFolder, const fs::path& workingFolder) {
    if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
        std::cerr << "kalvor-setup: cannot enter " << workingFolder.string() << ": "
                  << std::strerror(errno) << '\n';
    }
    char name[] = "kalvor";
    char* const arguments[] = {name, nullptr};
    const std::string program = ownFolder.empty() ? name : (ownFolder / name).string();
    if (ownFolder.empty()) {
        ::execvp(name, arguments); // from PATH
    } else {
        ::execv(program.c_str(), arguments);
    }
    std::cerr << "kalvor-setup: cannot start " << program << ": " << std::strerror(errno) << '\n';
    return 127;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path ownFolder = OwnFolder();
    fs::path dataFolder;
    bool start = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--data" && i + 1 < argc) {
            dataFolder = argv[++i];
        } else if (argument == "--start") {
            start = true;
        } else {
            std::cerr << "usage: kalvor-setup [--data FOLDER] [--start]\n"
                         "Creates the settings key and the working folder where missing; prints "
                         "the working folder.\n"
                         "  --data FOLDER  take the standard catalogues from FOLDER\n"
                         "  --start        then start kalvor in the working folder\n";
            return argument == "--help" ? 0 : 2;
        }
    }
    if (dataFolder.empty()) {
        dataFolder = StandardCatalogues(ownFolder);
    }
    fs::path folder;
    try {
        for (const std::string& name : kalvor::CreateInitialSettings()) {
            std::cerr << "kalvor-setup: setting " << name << " created\n";
        }
        folder = kalvor::WorkingFolder();
        for (const std::string& name : kalvor::CopyStandardCatalogues(dataFolder, folder)) {
            std::cerr << "kalvor-setup: " << name << " copied\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "kalvor-setup: " << error.what() << '\n';
        if (!start) {
            return 1;
        }
    }
    if (start) {
        return StartCalculator(ownFolder, folder);
    }
    std::cout << folder.string() << '\n';
    return 0;
}
