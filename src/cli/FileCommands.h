#pragma once

#include <string>

#include "pipeline/MethodSettings.h"
#include <vector>

namespace CLI {
class App;
}

namespace pictora::cli {

struct DecodeOptions {
    std::string codedPath;
    std::vector<std::string> outputs;
    // With a reference image, the decoded image is measured against it and
    // its row printed (and written as CSV).
    std::string referencePath;
    std::string resultsPath;
    MethodSettings method;  // only the deblocking filter
};

struct ApplyOptions {
    std::string imagePath;
    std::vector<std::string> codebooks;  // one file, or three FILE[:k]
    std::vector<std::string> outputs;
    std::string resultsPath;
    MethodSettings method;
};

struct InfoOptions {
    std::string path;
};

// The commands that read coded images and codebooks: declared on the
// program's command line, then run with what the parse filled in.
CLI::App* DeclareDecodeCommand(CLI::App& program, DecodeOptions& options);
CLI::App* DeclareApplyCommand(CLI::App& program, ApplyOptions& options);
CLI::App* DeclareInfoCommand(CLI::App& program, InfoOptions& options);
int RunDecode(const CLI::App& command, const DecodeOptions& options);
int RunApply(const CLI::App& command, const ApplyOptions& options);
int RunInfo(const CLI::App& command, const InfoOptions& options);

}  // namespace pictora::cli
