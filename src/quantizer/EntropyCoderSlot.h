#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "entropy/EntropyCoder.h"
#include "support/Status.h"

namespace pictora {

// The lossless stage that may follow the coder: none, a static Huffman code
// (.huf) or a static arithmetic code (.art) of the coded image's bytes, or
// the contextual stage (.mqz) that models what the coded image holds. The
// choice of stage lives with the quantizer, not with the byte coders of
// entropy/, because the contextual stage reads the quantizer's layout.
enum class LosslessMode { None, Huffman, Arithmetic, Contextual };

// Holds the one coder of a lossless job; empty until a coder is created.
class EntropyCoderSlot {
public:
    // Puts a new, empty coder for `mode` into the slot, replacing any coder
    // held. LosslessMode::None empties the slot and fails.
    Status CreateEntropyCoder(LosslessMode mode);

    // The coder held, or null.
    EntropyCoder* Coder() const { return coder_.get(); }

private:
    std::unique_ptr<EntropyCoder> coder_;
};

// One-shot jobs: a coder of `mode` is created, used once and destroyed.
Status EncodeFileWith(LosslessMode mode, const std::string& inputPath, const std::string& outputPath);
Status DecodeFileWith(LosslessMode mode, const std::string& inputPath, const std::string& outputPath);
Status EncodeBytesWith(LosslessMode mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out);
Status DecodeBytesWith(LosslessMode mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out);

}  // namespace pictora
