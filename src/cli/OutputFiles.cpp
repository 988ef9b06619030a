#include "cli/OutputFiles.h"

#include <system_error>

#include "cli/Commands.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora::cli {

bool CheckOutputKinds(const std::vector<std::string>& outputs, std::string& error) {
    for (const std::string& output : outputs) {
        if (ResultFileKindOf(output) == ResultFileKind::Unknown) {
            error = "cannot tell what to write to " + output + " (use .png, .mqc, .huf, .art, .mqz or .cod)";
            return false;
        }
    }
    return true;
}

bool CheckOutputsAreNotInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                              std::string& error) {
    for (const std::string& output : outputs) {
        for (const std::string& input : inputs) {
            if (!output.empty() && !input.empty() && SameFile(output, input)) {
                error = "the output " + output + " is the input " + input + "; write it under another name";
                return false;
            }
        }
    }
    return true;
}

Status CheckOutputsWritable(const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs) {
        if (output.empty()) continue;
        if (Status writable = CheckWritable(output); !writable) return writable;
    }
    return Status::Ok();
}

int CheckOutputPaths(const CLI::App& command, const std::vector<std::string>& outputs,
                     const std::vector<std::string>& inputs) {
    std::string error;
    if (!CheckOutputsAreNotInputs(outputs, inputs, error)) return ReportUsageError(command, error);
    if (Status writable = CheckOutputsWritable(outputs); !writable) return ReportBadFile(writable.message());
    return kExitOk;
}

Status WriteOutputs(const ImageCompressor& compressor, const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs) {
        if (Status written = WriteResultFile(compressor, ResultFileKindOf(output), output); !written) return written;
    }
    return Status::Ok();
}

Status CreatedFolder::Create(const std::string& path) {
    std::vector<std::filesystem::path> missing;
    std::error_code error;
    for (std::filesystem::path folder = std::filesystem::absolute(path, error);
         !error && !folder.empty() && !std::filesystem::exists(folder, error); folder = folder.parent_path()) {
        missing.insert(missing.begin(), folder);
        if (folder == folder.parent_path()) break;
    }
    std::filesystem::create_directories(path, error);
    if (error) return Status::Error(ErrorKind::FileAccess, "cannot create " + path + ": " + error.message()).Concerning(path);
    if (!std::filesystem::is_directory(path, error))
        return Status::Error(ErrorKind::FileAccess, "cannot create " + path + ": a file stands there").Concerning(path);
    made_ = std::move(missing);
    return Status::Ok();
}

CreatedFolder::~CreatedFolder() {
    std::error_code ignored;  // a folder that is no longer empty stays
    for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) std::filesystem::remove(*folder, ignored);
}

}  // namespace pictora::cli
