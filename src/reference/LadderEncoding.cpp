#include "reference/LadderEncoding.h"

namespace pictora {

Status EncodeLadder(const ReferenceCodec& codec, const RgbImage& image, std::vector<LadderRung>& rungs,
                    const EncodingProgress& progress) {
    const std::vector<double> ladder = codec.Ladder();
    std::vector<LadderRung> encoded;
    for (double knob : ladder) {
        LadderRung& rung = encoded.emplace_back();
        rung.knob = knob;
        if (Status status = codec.Encode(image, knob, rung.bytes); !status) return status;
        if (progress) progress(encoded.size(), ladder.size());
    }
    rungs = std::move(encoded);
    return Status::Ok();
}

}  // namespace pictora
