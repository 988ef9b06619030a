#include "measures/Butteraugli.h"

#include <jxl/butteraugli.h>
#include <jxl/decode.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "image/InterleavedRgb.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

struct ApiDeleter {
    void operator()(JxlButteraugliApi* api) const { JxlButteraugliApiDestroy(api); }
};
struct ResultDeleter {
    void operator()(JxlButteraugliResult* result) const { JxlButteraugliResultDestroy(result); }
};

bool Measurable(const RgbImage& image) { return static_cast<bool>(CheckEncodable(image, "Butteraugli")); }

using ButteraugliResult = std::unique_ptr<JxlButteraugliResult, ResultDeleter>;

// The library's comparison of the pair with its default settings; null when
// it cannot compare them.
ButteraugliResult Compare(const RgbImage& source, const RgbImage& decoded) {
    if (!Measurable(source) || !Measurable(decoded) || source.width != decoded.width || source.height != decoded.height)
        return nullptr;
    const std::unique_ptr<JxlButteraugliApi, ApiDeleter> api(JxlButteraugliApiCreate(nullptr));
    if (!api) return nullptr;
    const std::vector<std::uint8_t> original = InterleaveRgb(source);
    const std::vector<std::uint8_t> distorted = InterleaveRgb(decoded);
    const JxlPixelFormat format = {3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    return ButteraugliResult(JxlButteraugliCompute(api.get(), static_cast<std::uint32_t>(source.width),
                                                   static_cast<std::uint32_t>(source.height), &format, original.data(),
                                                   original.size(), &format, distorted.data(), distorted.size()));
}

}  // namespace

std::optional<ButteraugliDistance> MeasureButteraugli(const RgbImage& source, const RgbImage& decoded) {
    const ButteraugliResult result = Compare(source, decoded);
    if (!result) return std::nullopt;
    return ButteraugliDistance{JxlButteraugliResultGetMaxDistance(result.get()),
                               JxlButteraugliResultGetDistance(result.get(), 3.0f)};
}

std::optional<RealPlane> ButteraugliDistanceMap(const RgbImage& source, const RgbImage& decoded) {
    const ButteraugliResult result = Compare(source, decoded);
    if (!result) return std::nullopt;
    const float* distances = nullptr;
    std::uint32_t stride = 0;
    JxlButteraugliResultGetDistmap(result.get(), &distances, &stride);
    const auto width = static_cast<std::uint32_t>(source.width);
    const auto height = static_cast<std::uint32_t>(source.height);
    if (!distances || stride < width) return std::nullopt;
    RealPlane map(height, width);
    for (std::uint32_t y = 0; y < height; ++y) {
        const float* row = distances + static_cast<std::size_t>(y) * stride;
        std::copy(row, row + width, map.Row(y));
    }
    return map;
}

std::string ButteraugliCsvFields(const std::optional<ButteraugliDistance>& distance) {
    if (!distance) return ",,";
    return CsvRealField(distance->maxNorm) + CsvRealField(distance->norm3);
}

std::string ButteraugliLibraryVersion() {
    // The decoder's version is the library's: libjxl builds both from one source.
    const std::uint32_t version = JxlDecoderVersion();
    return std::to_string(version / 1000000) + "." + std::to_string(version / 1000 % 1000) + "." +
           std::to_string(version % 1000);
}

}  // namespace pictora
