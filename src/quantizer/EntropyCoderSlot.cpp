#include "quantizer/EntropyCoderSlot.h"

#include "entropy/ArithmeticCoder.h"
#include "entropy/HuffmanCoder.h"
#include "quantizer/ContextualCoder.h"

namespace pictora {

Status EntropyCoderSlot::CreateEntropyCoder(LosslessMode mode) {
    coder_.reset();
    switch (mode) {
        case LosslessMode::Huffman:
            coder_ = std::make_unique<HuffmanCoder>();
            return Status::Ok();
        case LosslessMode::Arithmetic:
            coder_ = std::make_unique<ArithmeticCoder>();
            return Status::Ok();
        case LosslessMode::Contextual:
            coder_ = std::make_unique<ContextualCoder>();
            return Status::Ok();
        case LosslessMode::None: break;
    }
    return Status::Error(ErrorKind::InvalidSetting, "no lossless coder was chosen");
}

namespace {

// Creates a coder for `mode` and runs `job` on it once.
template <typename Job>
Status RunOnce(LosslessMode mode, Job job) {
    EntropyCoderSlot slot;
    if (Status status = slot.CreateEntropyCoder(mode); !status) return status;
    return job(*slot.Coder());
}

}  // namespace

Status EncodeFileWith(LosslessMode mode, const std::string& inputPath, const std::string& outputPath) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.Encode(inputPath, outputPath); });
}

Status DecodeFileWith(LosslessMode mode, const std::string& inputPath, const std::string& outputPath) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.Decode(inputPath, outputPath); });
}

Status EncodeBytesWith(LosslessMode mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.EncodeBytes(in, out); });
}

Status DecodeBytesWith(LosslessMode mode, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    return RunOnce(mode, [&](EntropyCoder& coder) { return coder.DecodeBytes(in, out); });
}

}  // namespace pictora
