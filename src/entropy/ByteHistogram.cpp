#include "entropy/ByteHistogram.h"

#include <string>

namespace pictora {

Status CountByteValues(std::span<const std::uint8_t> bytes, ByteCounts& counts) {
    if (bytes.size() > UINT32_MAX) {
        return Status::Error(ErrorKind::UnsupportedImage, "input of " + std::to_string(bytes.size()) + " bytes is too large to code");
    }
    counts.fill(0);
    for (std::uint8_t byte : bytes) ++counts[byte];
    return Status::Ok();
}

}  // namespace pictora
