#include "entropy/EntropyCoderSlot.h"

#include "entropy/ArithmeticCoder.h"
#include "entropy/HuffmanCoder.h"

namespace pictora {

Status EntropyCoderSlot::CreateEntropyCoder(int mode) {
    coder_.reset();
    switch (mode) {
        case kEntropyModeHuffman:
            coder_ = std::make_unique<HuffmanCoder>();
            return Status::Ok();
        case kEntropyModeArithmetic:
            coder_ = std::make_unique<ArithmeticCoder>();
            return Status::Ok();
        default:
            return Status::Error("no entropy coder for mode " + std::to_string(mode));
    }
}

namespace {

// Creates a coder for `mode` and runs `job` on it once.
template <typename Job>
Status RunOnce(int mode, Job job) {
    EntropyCoderSlot slot;
    if (Status status = slot.CreateEntropyCoder(mode); !status) return status;
    return job(*slot.Coder());
}

}  // namespace

Status EncodeFileWith(int mode, const std::string& inputPath, const std::string& outputPath) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.Encode(inputPath, outputPath); });
}

Status DecodeFileWith(int mode, const std::string& inputPath, const std::string& outputPath) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.Decode(inputPath, outputPath); });
}

Status EncodeBytesWith(int mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.EncodeBytes(in, out); });
}

Status DecodeBytesWith(int mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.DecodeBytes(in, out); });
}

}  // namespace pictora
