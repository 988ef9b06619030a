#include "pipeline/ReferenceStudy.h"

#include "measures/RgbSsimMap.h"
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

Status MeasureLadder(ReferenceCodecKind codec, const RgbImage& source, MeasureSet measures,
                     const std::atomic<bool>* stop, ReferenceCurve& curve) {
    const std::unique_ptr<ReferenceCodec> coder = MakeReferenceCodec(codec);
    curve = ReferenceCurve{codec, {}, {}};
    for (double knob : coder->Ladder()) {
        if (stop != nullptr && stop->load()) return Status::Ok();
        const std::string rung = std::string(coder->Name()) + " " + ReferenceCodec::KnobText(knob);
        std::vector<std::uint8_t> file;
        if (Status encoded = coder->Encode(source, knob, file); !encoded) return encoded.Prefixed(rung);
        RgbImage decoded;
        if (Status read = coder->Decode(file, decoded); !read) return read.Prefixed(rung);
        RateQualityPoint figures;
        if (Status measured = MeasurePair(source, decoded, file.size(), measures, figures); !measured)
            return measured.Prefixed(rung);
        curve.knobs.push_back(knob);
        curve.points.push_back(std::move(figures));
    }
    return Status::Ok();
}

Status EncodeReferenceLadders(const RgbImage& source, const std::atomic<bool>* stop,
                              std::vector<ReferenceCurve>& curves) {
    std::vector<ReferenceCurve> made;
    for (ReferenceCodecKind kind : kAllReferenceCodecKinds) {
        if (Status measured = MeasureLadder(kind, source, MeasureSet::All, stop, made.emplace_back()); !measured) return measured;
        if (stop != nullptr && stop->load()) return Status::Ok();
    }
    curves = std::move(made);
    return Status::Ok();
}

}  // namespace pictora
