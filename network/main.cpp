// kalvor-network: computes a duct network file and prints its aerodynamic table.
#include "network/NetworkCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return kalvor::RunNetworkCommand(arguments, std::cout, std::cerr);
}
