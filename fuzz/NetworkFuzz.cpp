// Fuzzes the network file: every text the reader takes is written back and read again unchanged,
// and a network that computes gives its CSV, report and warnings with finite figures.
#include "FuzzCheck.h"

#include "network/NetworkFile.h"
#include "network/NetworkTable.h"
#include "network/NetworkWarnings.h"

#include <cmath>

using namespace kalvor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Network network;
    try {
        network = ParseNetworkText(fuzz::Bytes(data, size));
    } catch (const NetworkError& error) {
        // A refusal is a message of its own size, whatever the file holds.
        FUZZ_CHECK(std::string_view(error.what()).size() < 2000);
        return 0;
    }
    const std::string written = NetworkFileText(network); // a network read is always writable
    FUZZ_CHECK(ParseNetworkText(written) == network);

    NetworkResults results;
    try {
        results = ComputeNetwork(network); // "auto" sizes have no catalogues here
    } catch (const NetworkError&) {
        return 0;
    }
    FUZZ_CHECK(std::isfinite(results.fanPressure) && std::isfinite(results.density));
    for (const SectionResult& section : results.sections) {
        for (const double figure :
             {section.flow, section.F, section.De, section.kms, section.V, section.R, section.Rl,
              section.Pd, section.Z, section.P, section.path}) {
            FUZZ_CHECK(std::isfinite(figure));
        }
    }
    const std::string csv = NetworkCsv(network, results);
    FUZZ_CHECK(csv.starts_with(NetworkCsvHeader));
    const std::string report = NetworkReport(network, results);
    FUZZ_CHECK(!report.empty());
    NetworkWarnings(network, results);
    return 0;
}
