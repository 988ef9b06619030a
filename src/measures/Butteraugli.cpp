#include "measures/Butteraugli.h"

#include <jxl/butteraugli.h>
#include <jxl/decode.h>

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

}  // namespace

std::optional<ButteraugliDistance> MeasureButteraugli(const RgbImage& source, const RgbImage& decoded) {
    if (!Measurable(source) || !Measurable(decoded) || source.width != decoded.width || source.height != decoded.height)
        return std::nullopt;
    const std::unique_ptr<JxlButteraugliApi, ApiDeleter> api(JxlButteraugliApiCreate(nullptr));
    if (!api) return std::nullopt;
    const std::vector<std::uint8_t> original = InterleaveRgb(source);
    const std::vector<std::uint8_t> distorted = InterleaveRgb(decoded);
    const JxlPixelFormat format = {3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    const std::unique_ptr<JxlButteraugliResult, ResultDeleter> result(JxlButteraugliCompute(
        api.get(), static_cast<std::uint32_t>(source.width), static_cast<std::uint32_t>(source.height), &format,
        original.data(), original.size(), &format, distorted.data(), distorted.size()));
    if (!result) return std::nullopt;
    return ButteraugliDistance{JxlButteraugliResultGetMaxDistance(result.get()),
                               JxlButteraugliResultGetDistance(result.get(), 3.0f)};
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
