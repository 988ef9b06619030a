#pragma once

#include <string>
#include <vector>

#include "support/Status.h"

namespace pictora {
class ImageCompressor;
}

namespace pictora::cli {

// Whether every output names a kind of result file (.png, .mqc, .huf, .art, .mqz,
// .cod, case ignored); otherwise `error` names the first that does not.
bool CheckOutputKinds(const std::vector<std::string>& outputs, std::string& error);

// Writes each output, its kind chosen by extension.
Status WriteOutputs(const ImageCompressor& compressor, const std::vector<std::string>& outputs);

}  // namespace pictora::cli
