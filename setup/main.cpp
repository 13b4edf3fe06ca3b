// kalvor-setup: creates what the calculator needs before its first start and prints the working
// folder in which it is to be started.
#include "setup/FirstStart.h"

#include <exception>
#include <iostream>
#include <string>

#ifndef KALVOR_DATA_DIR
#define KALVOR_DATA_DIR "catalogues/data"
#endif

int main(int argc, char** argv) {
    std::filesystem::path dataFolder = KALVOR_DATA_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--data" && i + 1 < argc) {
            dataFolder = argv[++i];
        } else {
            std::cerr << "usage: kalvor-setup [--data FOLDER]\n"
                         "Creates the settings key and the working folder where missing; prints "
                         "the working folder.\n";
            return argument == "--help" ? 0 : 2;
        }
    }
    try {
        for (const std::string& name : kalvor::CreateInitialSettings()) {
            std::cerr << "kalvor-setup: setting " << name << " created\n";
        }
        const std::filesystem::path folder = kalvor::WorkingFolder();
        for (const std::string& name : kalvor::CopyStandardCatalogues(dataFolder, folder)) {
            std::cerr << "kalvor-setup: " << name << " copied\n";
        }
        std::cout << folder.string() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "kalvor-setup: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
