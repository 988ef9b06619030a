#include "pipeline/ReferenceStudy.h"

#include "measures/RgbSsimMap.h"
#include "reference/LadderEncoding.h"
#include "reference/ReferenceCodecFactory.h"
#include "reference/SameSizeSearch.h"

namespace pictora {

Status EncodeReferenceAtSize(ReferenceCodecKind codec, const RgbImage& source, std::uint64_t targetBytes,
                             ReferenceAtSize& result) {
    const std::unique_ptr<ReferenceCodec> coder = MakeReferenceCodec(codec);
    const std::string name(coder->Name());
    FittedEncoding fitted;
    if (Status status = EncodeAtSize(*coder, source, targetBytes, fitted); !status) return status.Prefixed(name);
    ReferenceAtSize made;
    made.codec = codec;
    if (fitted.fits) {
        made.fits = true;
        made.knob = fitted.knob;
        if (Status status = coder->Decode(fitted.bytes, made.decoded); !status) return status.Prefixed(name);
        if (Status status = MeasurePair(source, made.decoded, fitted.bytes.size(), MeasureSet::All, made.figures);
            !status)
            return status.Prefixed(name);
        made.ssimMap = RgbSsimMap(source, made.decoded);
    }
    result = std::move(made);
    return Status::Ok();
}

Status EncodeReferenceLadders(const RgbImage& source, std::vector<ReferenceCurve>& curves) {
    std::vector<ReferenceCurve> made;
    for (ReferenceCodecKind kind : kAllReferenceCodecKinds) {
        const std::unique_ptr<ReferenceCodec> coder = MakeReferenceCodec(kind);
        const std::string name(coder->Name());
        std::vector<LadderRung> rungs;
        if (Status status = EncodeLadder(*coder, source, rungs); !status) return status.Prefixed(name);
        ReferenceCurve curve;
        curve.codec = kind;
        for (const LadderRung& rung : rungs) {
            RgbImage decoded;
            RateQualityPoint figures;
            if (Status status = coder->Decode(rung.bytes, decoded); !status) return status.Prefixed(name);
            if (Status status = MeasurePair(source, decoded, rung.bytes.size(), MeasureSet::All, figures); !status)
                return status.Prefixed(name);
            curve.knobs.push_back(rung.knob);
            curve.points.push_back(std::move(figures));
        }
        made.push_back(std::move(curve));
    }
    curves = std::move(made);
    return Status::Ok();
}

}  // namespace pictora
