#include "measures/RateQualityPoint.h"

#include <string>

#include "measures/BitsPerPixel.h"

namespace pictora {

std::string_view NameOf(MeasureSet set) {
    for (const MeasureSetName& named : kMeasureSetNames)
        if (named.set == set) return named.name;
    return {};
}

Status MeasurePair(const RgbImage& source, const RgbImage& decoded, std::uint64_t bytes, MeasureSet measures,
                   RateQualityPoint& point) {
    if (source.height != decoded.height || source.width != decoded.width || source.height <= 0 || source.width <= 0)
        return Status::Error(ErrorKind::InvalidSetting,
                             "a decoded image of " + std::to_string(decoded.width) + " x " + std::to_string(decoded.height) +
                                 " pixels cannot be measured against a source of " + std::to_string(source.width) +
                                 " x " + std::to_string(source.height));
    RateQualityPoint measured;
    measured.bytes = bytes;
    measured.bpp = BitsPerPixel(bytes, static_cast<std::uint32_t>(source.width), static_cast<std::uint32_t>(source.height));
    measured.quality = MeasureRgbQuality(source, decoded);
    if (measures != MeasureSet::PsnrOnly)
        measured.similarity = MeasureImages({&source.red, &source.green, &source.blue},
                                            {&decoded.red, &decoded.green, &decoded.blue}, SimilarityMeasures::kBoth);
    if (measures == MeasureSet::AllAndButteraugli) measured.butteraugli = MeasureButteraugli(source, decoded);
    point = std::move(measured);
    return Status::Ok();
}

}  // namespace pictora
