#include "entropy/EntropyCoder.h"

#include "support/FileIO.h"

namespace pictora {

Status EntropyCoder::Encode(const std::string& inputPath, const std::string& outputPath) {
    return TransformFile(&EntropyCoder::EncodeBytes, inputPath, outputPath);
}

Status EntropyCoder::Decode(const std::string& inputPath, const std::string& outputPath) {
    return TransformFile(&EntropyCoder::DecodeBytes, inputPath, outputPath);
}

Status EntropyCoder::TransformFile(ByteCore core, const std::string& inputPath, const std::string& outputPath) {
    std::vector<std::uint8_t> input;
    if (Status status = ReadWholeFile(inputPath, input); !status) return status;
    std::vector<std::uint8_t> output;
    if (Status status = (this->*core)(input, output); !status) {
        return status.About(inputPath);
    }
    return WriteFileAtomically(outputPath, output);
}

}  // namespace pictora
