#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "entropy/EntropyCoder.h"
#include "support/Status.h"

namespace pictora {

// The numbers by which the rest of the program chooses a lossless stage;
// 0 means none and has no coder.
inline constexpr int kEntropyModeHuffman = 1;
inline constexpr int kEntropyModeArithmetic = 2;

// Holds the one coder of a lossless job; empty until a coder is created.
class EntropyCoderSlot {
public:
    // Puts a new, empty coder for `mode` into the slot, replacing any coder
    // held. Any mode other than Huffman or arithmetic empties the slot and
    // fails.
    Status CreateEntropyCoder(int mode);

    // The coder held, or null.
    EntropyCoder* Coder() const { return coder_.get(); }

private:
    std::unique_ptr<EntropyCoder> coder_;
};

// One-shot jobs: a coder of `mode` is created, used once and destroyed.
Status EncodeFileWith(int mode, const std::string& inputPath, const std::string& outputPath);
Status DecodeFileWith(int mode, const std::string& inputPath, const std::string& outputPath);
Status EncodeBytesWith(int mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out);
Status DecodeBytesWith(int mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out);

}  // namespace pictora
