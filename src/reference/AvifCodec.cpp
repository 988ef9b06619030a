#include "reference/AvifCodec.h"

#include <memory>
#include <string>

#include <avif/avif.h>

#include "image/InterleavedRgb.h"

namespace pictora {
namespace {

struct AvifImageRelease {
    void operator()(avifImage* image) const { avifImageDestroy(image); }
};
struct AvifEncoderRelease {
    void operator()(avifEncoder* encoder) const { avifEncoderDestroy(encoder); }
};
struct AvifDecoderRelease {
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};
struct AvifDataRelease {
    void operator()(avifRWData* data) const { avifRWDataFree(data); }
};

Status Failure(const char* what, avifResult result) {
    return Status::Error(ErrorKind::CodecFailure, std::string("avif: ") + what + ": " + avifResultToString(result));
}

}  // namespace

// The knob grid is the library's quantizer range.
static_assert(TraitsOf(ReferenceCodecKind::Avif).grid.worst == AVIF_QUANTIZER_WORST_QUALITY &&
              TraitsOf(ReferenceCodecKind::Avif).grid.best == AVIF_QUANTIZER_BEST_QUALITY);

std::string AvifCodec::EncoderName() {
    const char* name = avifCodecName(AVIF_CODEC_CHOICE_AUTO, AVIF_CODEC_FLAG_CAN_ENCODE);
    return name != nullptr ? name : "";
}

Status AvifCodec::Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const {
    if (Status status = CheckEncodable(image, Name()); !status) return status;
    if (Status status = CheckWholeKnob(knob); !status) return status;
    std::unique_ptr<avifImage, AvifImageRelease> yuv(avifImageCreate(
        static_cast<std::uint32_t>(image.width), static_cast<std::uint32_t>(image.height), 8, AVIF_PIXEL_FORMAT_YUV420));
    if (yuv == nullptr) return Status::Error(ErrorKind::CodecFailure, "avif: the library could not set up an image");
    // The input is sRGB; saying so lets every decoder show it as such.
    yuv->colorPrimaries = AVIF_COLOR_PRIMARIES_BT709;
    yuv->transferCharacteristics = AVIF_TRANSFER_CHARACTERISTICS_SRGB;
    yuv->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_BT601;
    yuv->yuvRange = AVIF_RANGE_FULL;

    std::vector<std::uint8_t> pixels = InterleaveRgb(image);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, yuv.get());
    rgb.format = AVIF_RGB_FORMAT_RGB;
    rgb.depth = 8;
    rgb.pixels = pixels.data();
    rgb.rowBytes = static_cast<std::uint32_t>(image.width) * 3;
    if (avifResult result = avifImageRGBToYUV(yuv.get(), &rgb); result != AVIF_RESULT_OK) {
        return Failure("converting to YUV failed", result);
    }

    std::unique_ptr<avifEncoder, AvifEncoderRelease> encoder(avifEncoderCreate());
    if (encoder == nullptr) return Status::Error(ErrorKind::CodecFailure, "avif: the library could not set up an encoder");
    // One thread: the file must not depend on how the work was split.
    encoder->maxThreads = 1;
    encoder->speed = 6;
    encoder->minQuantizer = static_cast<int>(knob);
    encoder->maxQuantizer = static_cast<int>(knob);
    avifRWData output = AVIF_DATA_EMPTY;
    std::unique_ptr<avifRWData, AvifDataRelease> outputRelease(&output);
    if (avifResult result = avifEncoderWrite(encoder.get(), yuv.get(), &output); result != AVIF_RESULT_OK) {
        return Failure("encoding failed", result);
    }
    bytes.assign(output.data, output.data + output.size);
    return Status::Ok();
}

Status AvifCodec::Decode(std::span<const std::uint8_t> file, RgbImage& image) const {
    std::unique_ptr<avifDecoder, AvifDecoderRelease> decoder(avifDecoderCreate());
    std::unique_ptr<avifImage, AvifImageRelease> yuv(avifImageCreateEmpty());
    if (decoder == nullptr || yuv == nullptr) return Status::Error(ErrorKind::CodecFailure, "avif: the library could not set up a decoder");
    decoder->maxThreads = 1;
    if (avifResult result = avifDecoderReadMemory(decoder.get(), yuv.get(), file.data(), file.size());
        result != AVIF_RESULT_OK) {
        return Failure("the file is refused", result);
    }
    const std::uint32_t height = yuv->height;
    const std::uint32_t width = yuv->width;
    if (height == 0 || width == 0 || std::uint64_t{height} * width > kMaxReferencePixels) {
        return Status::Error(ErrorKind::DamagedFile, "avif: the file is refused: its size is out of range");
    }
    std::vector<std::uint8_t> pixels(std::size_t{height} * width * 3);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, yuv.get());
    rgb.format = AVIF_RGB_FORMAT_RGB;
    rgb.depth = 8;
    rgb.pixels = pixels.data();
    rgb.rowBytes = width * 3;
    if (avifResult result = avifImageYUVToRGB(yuv.get(), &rgb); result != AVIF_RESULT_OK) {
        return Failure("converting to RGB failed", result);
    }
    SpreadInterleavedRgb(pixels.data(), height, width, std::size_t{width} * 3, image);
    return Status::Ok();
}

}  // namespace pictora
