#pragma once

#include <string>
#include <vector>

#include "support/Status.h"

namespace pictora {
class ImageCompressor;
}

namespace pictora::cli {

// The extension of `path` in lower case, with its dot ("" when it has none).
std::string LowerExtension(const std::string& path);

// Whether every output names a kind of file the compressor can write
// (.png, .mqc, .cod); otherwise `error` names the first that does not.
bool CheckOutputKinds(const std::vector<std::string>& outputs, std::string& error);

// Writes each output, its kind chosen by extension: the reconstruction as PNG,
// the coded image, or the codebooks.
Status WriteOutputs(const ImageCompressor& compressor, const std::vector<std::string>& outputs);

}  // namespace pictora::cli
