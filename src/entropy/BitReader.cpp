#include "entropy/BitReader.h"

#include <string>

namespace pictora {

// The bit-stream block, integers little-endian, no alignment:
//
//   offset 0   width   u8: bits per value, 1 to 32 (0 only for an empty block)
//   offset 1   N       u32: number of bits
//   offset 5   words   ceil(N / 32) × u32, in stream order: stream bit k is
//                      bit (k mod 32) of word (k div 32), least significant
//                      first; bits of the last word beyond N are 0.
//
// It holds N div width values, each least significant bit first, one after
// another across word boundaries; trailing bits that make no whole value
// are ignored.
Status BitReader::LoadFrom(ByteReader& in, std::vector<std::uint32_t>& values) {
    Release();
    const std::size_t start = in.Position();
    std::uint8_t width = 0;
    std::uint32_t totalBits = 0;
    if (!in.GetU8(width) || !in.GetU32(totalBits)) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "bit-stream block ends inside its header");
    }
    const std::size_t wordCount = (static_cast<std::size_t>(totalBits) + 31) / 32;
    std::string fault;
    if (width > 32) {
        fault = "bit-stream block has width " + std::to_string(width) + ", above 32";
    } else if (width == 0 && totalBits != 0) {
        fault = "bit-stream block of width 0 claims " + std::to_string(totalBits) + " bits";
    } else if (in.Remaining() / 4 < wordCount) {
        fault = "bit-stream block of " + std::to_string(totalBits) + " bits is truncated";
    }
    if (!fault.empty()) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, fault);
    }
    words_.resize(wordCount);
    for (std::uint32_t& word : words_) (void)in.GetU32(word);
    width_ = width;
    totalBits_ = totalBits;

    const std::uint32_t valueCount = width == 0 ? 0 : totalBits / width;
    std::vector<std::uint32_t> decoded(valueCount);
    for (std::uint32_t& value : decoded) value = GetValue();
    values = std::move(decoded);
    Rewind();
    return Status::Ok();
}

std::uint32_t BitReader::MarkOverrun() {
    // Whatever bits remain are dropped: the stream is damaged either way.
    overrun_ = true;
    position_ = totalBits_;
    return 0;
}

void BitReader::Rewind() {
    position_ = 0;
    overrun_ = false;
}

void BitReader::Release() {
    totalBits_ = 0;
    words_ = {};
    width_ = 0;
    Rewind();
}

}  // namespace pictora
