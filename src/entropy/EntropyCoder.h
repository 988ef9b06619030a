#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/Status.h"

namespace pictora {

// A lossless coder of whole files. Each coder works on bytes in memory; the
// file-to-file operations read the input whole, code it and write the result
// through a temporary file, so a failure never leaves a partial output behind.
class EntropyCoder {
public:
    virtual ~EntropyCoder() = default;

    // Replaces `out` with the coded form of `in`.
    virtual Status EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) = 0;
    // Replaces `out` with the bytes that `in` codes. A length the header
    // announces beyond what the coder can expand `in` to is refused before
    // anything is decoded, and `out` grows only as bytes are decoded
    // (DecodedOutput.h). A damaged or foreign input gives an error, or at
    // worst wrong bytes no more than the header announces; `out` is
    // unspecified after a failure.
    virtual Status DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) = 0;

    Status Encode(const std::string& inputPath, const std::string& outputPath);
    Status Decode(const std::string& inputPath, const std::string& outputPath);

private:
    using ByteCore = Status (EntropyCoder::*)(std::span<const std::uint8_t>, std::vector<std::uint8_t>&);
    Status TransformFile(ByteCore core, const std::string& inputPath, const std::string& outputPath);
};

}  // namespace pictora
