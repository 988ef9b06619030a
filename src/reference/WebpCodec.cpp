#include "reference/WebpCodec.h"

#include <string>

#include <webp/decode.h>
#include <webp/encode.h>

#include "image/InterleavedRgb.h"

namespace pictora {

Status WebpCodec::Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const {
    if (Status status = CheckEncodable(image, Name()); !status) return status;
    if (Status status = CheckWholeKnob(knob); !status) return status;
    if (image.height > WEBP_MAX_DIMENSION || image.width > WEBP_MAX_DIMENSION) {
        return Status::Error(ErrorKind::CodecFailure, "webp: a side of the image exceeds " + std::to_string(WEBP_MAX_DIMENSION) + " pixels");
    }
    WebPConfig config;
    if (!WebPConfigInit(&config)) return Status::Error(ErrorKind::DamagedFile, "webp: the library refused its default configuration");
    config.lossless = 0;
    config.method = 4;
    config.quality = static_cast<float>(knob);
    if (!WebPValidateConfig(&config)) return Status::Error(ErrorKind::DamagedFile, "webp: the library refused the configuration");

    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return Status::Error(ErrorKind::DamagedFile, "webp: the library refused to set up a picture");
    picture.width = image.width;
    picture.height = image.height;
    const std::vector<std::uint8_t> pixels = InterleaveRgb(image);
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const bool done = WebPPictureImportRGB(&picture, pixels.data(), image.width * 3) != 0 &&
                      WebPEncode(&config, &picture) != 0;
    const WebPEncodingError error = picture.error_code;
    WebPPictureFree(&picture);
    if (done) bytes.assign(writer.mem, writer.mem + writer.size);
    WebPMemoryWriterClear(&writer);
    if (!done) return Status::Error(ErrorKind::CodecFailure, "webp: encoding failed (libwebp error " + std::to_string(error) + ")");
    return Status::Ok();
}

Status WebpCodec::Decode(std::span<const std::uint8_t> file, RgbImage& image) const {
    WebPBitstreamFeatures features;
    const VP8StatusCode code = WebPGetFeatures(file.data(), file.size(), &features);
    if (code != VP8_STATUS_OK) {
        return Status::Error(ErrorKind::DamagedFile, "webp: the file is refused (libwebp status " + std::to_string(code) + ")");
    }
    if (features.has_animation) return Status::Error(ErrorKind::DamagedFile, "webp: the file is refused: it holds an animation");
    if (features.width <= 0 || features.height <= 0 ||
        std::uint64_t(features.width) * std::uint64_t(features.height) > kMaxReferencePixels) {
        return Status::Error(ErrorKind::DamagedFile, "webp: the file is refused: its size is out of range");
    }
    const auto height = static_cast<std::uint32_t>(features.height);
    const auto width = static_cast<std::uint32_t>(features.width);
    std::vector<std::uint8_t> pixels(std::size_t{height} * width * 3);
    if (WebPDecodeRGBInto(file.data(), file.size(), pixels.data(), pixels.size(), static_cast<int>(width * 3)) ==
        nullptr) {
        return Status::Error(ErrorKind::DamagedFile, "webp: the file is refused: its picture data does not decode");
    }
    SpreadInterleavedRgb(pixels.data(), height, width, std::size_t{width} * 3, image);
    return Status::Ok();
}

}  // namespace pictora
