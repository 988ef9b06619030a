#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measures/RateQualityPoint.h"
#include "pipeline/MethodSettings.h"

namespace CLI {
class App;
}

namespace pictora::cli {

// Every reference codec's name, in the order reports list them.
std::vector<std::string> AllCodecNames();

// What `pictora-cli compare` was asked to do: IMAGE against the reference
// codecs at one size (that of a coded file, or a byte count) or at given
// settings.
struct CompareOptions {
    std::string imagePath;
    std::string likePath;              // --like CODED: its size, and a first row for it
    std::uint64_t bytes = 0;           // --bytes N
    std::vector<std::string> settings; // --setting V[,V]...
    std::vector<std::string> codecs = AllCodecNames();
    std::string outputFolder;          // -o DIR: every reference file written
    std::string resultsPath;           // --results FILE.csv
    MethodSettings method;             // --deblock S: how the --like file is decoded
    MeasureSet measures = MeasureSet::All;  // --measures: Butteraugli only when asked for
};

CLI::App* DeclareCompareCommand(CLI::App& program, CompareOptions& options);
int RunCompare(const CLI::App& command, const CompareOptions& options);

}  // namespace pictora::cli
