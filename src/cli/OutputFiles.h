#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/Status.h"

namespace CLI {
class App;
}

namespace pictora {
class ImageCompressor;
}

namespace pictora::cli {

// Whether every output names a kind of result file (.png, .mqc, .huf, .art, .mqz,
// .cod, case ignored); otherwise `error` names the first that does not.
bool CheckOutputKinds(const std::vector<std::string>& outputs, std::string& error);

// Whether no output is the same file as an input (it would replace what the
// command reads: a photo by its reconstruction, say); otherwise `error` names
// the pair.
bool CheckOutputsAreNotInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                              std::string& error);

// Checks, before the work starts, that each output can be written, so that a
// missing or read-only folder is told at once and not after a long run.
Status CheckOutputsWritable(const std::vector<std::string>& outputs);

// The checks above in turn, told as pictora-cli tells them: kExitUsage for an
// output that is an input, kExitBadFile for one that cannot be written,
// kExitOk when every output is fine.
int CheckOutputPaths(const CLI::App& command, const std::vector<std::string>& outputs,
                     const std::vector<std::string>& inputs);

// Writes each output, its kind chosen by extension.
Status WriteOutputs(const ImageCompressor& compressor, const std::vector<std::string>& outputs);

// An output folder made before the work starts, so that files to be written
// into it can be checked too. Unless kept, the folders it made are removed
// again when it goes (only while they are empty), so a refused command
// leaves no empty folder behind.
class CreatedFolder {
public:
    Status Create(const std::string& path);
    void Keep() { made_.clear(); }
    ~CreatedFolder();

private:
    std::vector<std::filesystem::path> made_;  // innermost last
};

}  // namespace pictora::cli
