#include "entropy/BitWriter.h"

#include <string>

namespace pictora {

Status BitWriter::Start(std::uint8_t width, std::size_t capacityWords) {
    Release();
    if (width > 32) return Status::Error(ErrorKind::UnsupportedImage, "bit width " + std::to_string(width) + " exceeds 32");
    width_ = width;
    words_.reserve(capacityWords);
    return Status::Ok();
}

Status BitWriter::InitForValues(std::uint8_t width, const std::uint32_t* values, std::size_t count) {
    // One word per value is always enough, as a value has at most 32 bits.
    if (Status status = Start(width, count); !status) return status;
    for (std::size_t i = 0; i < count; ++i) PutValue(values[i]);
    return Status::Ok();
}

Status BitWriter::InitEmpty(std::uint8_t width, std::size_t capacityWords) {
    return Start(width, capacityWords);
}

Status BitWriter::WriteTo(ByteWriter& out) const {
    if (totalBits_ > UINT32_MAX) {
        return Status::Error(ErrorKind::UnsupportedImage, "bit stream of " + std::to_string(totalBits_) + " bits is too long to store");
    }
    out.PutU8(width_);
    out.PutU32(static_cast<std::uint32_t>(totalBits_));
    for (std::uint32_t word : words_) out.PutU32(word);
    return Status::Ok();
}

void BitWriter::Release() {
    totalBits_ = 0;
    words_ = {};
    width_ = 0;
}

}  // namespace pictora
