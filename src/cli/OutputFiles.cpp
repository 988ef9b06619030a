#include "cli/OutputFiles.h"

#include <algorithm>
#include <cctype>

#include "pipeline/ImageCompressor.h"

namespace pictora::cli {

std::string LowerExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool CheckOutputKinds(const std::vector<std::string>& outputs, std::string& error) {
    for (const std::string& output : outputs) {
        const std::string extension = LowerExtension(output);
        if (extension != ".png" && extension != ".mqc" && extension != ".cod") {
            error = "cannot tell what to write to " + output + " (use .png, .mqc or .cod)";
            return false;
        }
    }
    return true;
}

Status WriteOutputs(const ImageCompressor& compressor, const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs) {
        const std::string extension = LowerExtension(output);
        Status written = extension == ".mqc"   ? compressor.WriteCodedFile(output)
                         : extension == ".cod" ? compressor.WriteCodebookFile(output)
                                               : compressor.SaveReconstructionPng(output);
        if (!written) return written;
    }
    return Status::Ok();
}

}  // namespace pictora::cli
