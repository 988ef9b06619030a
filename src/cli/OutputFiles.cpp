#include "cli/OutputFiles.h"

#include "pipeline/ResultFiles.h"

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

Status WriteOutputs(const ImageCompressor& compressor, const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs) {
        if (Status written = WriteResultFile(compressor, ResultFileKindOf(output), output); !written) return written;
    }
    return Status::Ok();
}

}  // namespace pictora::cli
