// kalvor-network: a network file computed on the command line, printed as a table, as CSV, or
// written as a spreadsheet.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kalvor {

// Exit statuses: computed; the run failed (a catalogue, a section, the output); the network file
// or an argument cannot be used.
inline constexpr int NetworkComputed = 0;
inline constexpr int NetworkFailed = 1;
inline constexpr int NetworkUnusable = 2;

// The text of --help.
std::string NetworkCommandHelp();

// Runs `kalvor-network FILE [--csv | --xlsx OUT] [--catalogues DIR]` with the arguments after the
// program's name: the report, the CSV or nothing on out, messages on err. The catalogues of "auto"
// sizes are read from DIR, by default the current directory. Returns an exit status above.
int RunNetworkCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err);

} // namespace kalvor
