#include "reference/JxlCodec.h"

#include <memory>
#include <string>

#include <jxl/decode.h>
#include <jxl/encode.h>

#include "image/InterleavedRgb.h"

namespace pictora {
namespace {

constexpr int kEffort = 7;
constexpr JxlPixelFormat kRgb8{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};

struct JxlEncoderRelease {
    void operator()(JxlEncoder* encoder) const { JxlEncoderDestroy(encoder); }
};
struct JxlDecoderRelease {
    void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};

Status EncoderFailure(JxlEncoder* encoder, const char* step) {
    return Status::Error(ErrorKind::CodecFailure, std::string("jxl: ") + step + " failed (libjxl error " +
                         std::to_string(static_cast<int>(JxlEncoderGetError(encoder))) + ")");
}

Status Refusal(const char* why) { return Status::Error(ErrorKind::DamagedFile, std::string("jxl: the file is refused: ") + why); }

}  // namespace

Status JxlCodec::Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const {
    if (Status status = CheckEncodable(image, Name()); !status) return status;
    const KnobGridSpan grid = Traits().grid;
    if (!(knob >= static_cast<double>(grid.best) / grid.divisor && knob <= static_cast<double>(grid.worst) / grid.divisor)) {
        return Status::Error(ErrorKind::InvalidSetting, "jxl: distance " + KnobText(knob) + " is not from 0.1 to 25");
    }
    std::unique_ptr<JxlEncoder, JxlEncoderRelease> encoder(JxlEncoderCreate(nullptr));
    if (encoder == nullptr) return Status::Error(ErrorKind::CodecFailure, "jxl: the library could not set up an encoder");
    JxlEncoder* enc = encoder.get();

    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = static_cast<std::uint32_t>(image.width);
    info.ysize = static_cast<std::uint32_t>(image.height);
    info.bits_per_sample = 8;
    info.exponent_bits_per_sample = 0;
    info.num_color_channels = 3;
    info.alpha_bits = 0;
    info.uses_original_profile = JXL_FALSE;
    if (JxlEncoderSetBasicInfo(enc, &info) != JXL_ENC_SUCCESS) return EncoderFailure(enc, "setting the image size");
    JxlColorEncoding colour;
    JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
    if (JxlEncoderSetColorEncoding(enc, &colour) != JXL_ENC_SUCCESS) {
        return EncoderFailure(enc, "setting the colour encoding");
    }
    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(enc, nullptr);
    if (settings == nullptr || JxlEncoderSetFrameLossless(settings, JXL_FALSE) != JXL_ENC_SUCCESS ||
        JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, kEffort) != JXL_ENC_SUCCESS ||
        JxlEncoderSetFrameDistance(settings, static_cast<float>(knob)) != JXL_ENC_SUCCESS) {
        return EncoderFailure(enc, "setting effort and distance");
    }
    const std::vector<std::uint8_t> pixels = InterleaveRgb(image);
    if (JxlEncoderAddImageFrame(settings, &kRgb8, pixels.data(), pixels.size()) != JXL_ENC_SUCCESS) {
        return EncoderFailure(enc, "encoding the frame");
    }
    JxlEncoderCloseInput(enc);

    std::vector<std::uint8_t> output(4096);
    std::size_t written = 0;
    for (;;) {
        std::uint8_t* next = output.data() + written;
        std::size_t room = output.size() - written;
        const JxlEncoderStatus status = JxlEncoderProcessOutput(enc, &next, &room);
        written = output.size() - room;
        if (status == JXL_ENC_SUCCESS) break;
        if (status != JXL_ENC_NEED_MORE_OUTPUT) return EncoderFailure(enc, "writing the file");
        output.resize(output.size() * 2);
    }
    output.resize(written);
    bytes = std::move(output);
    return Status::Ok();
}

Status JxlCodec::Decode(std::span<const std::uint8_t> file, RgbImage& image) const {
    std::unique_ptr<JxlDecoder, JxlDecoderRelease> decoder(JxlDecoderCreate(nullptr));
    if (decoder == nullptr) return Status::Error(ErrorKind::CodecFailure, "jxl: the library could not set up a decoder");
    JxlDecoder* dec = decoder.get();
    if (JxlDecoderSubscribeEvents(dec, JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(dec, file.data(), file.size()) != JXL_DEC_SUCCESS) {
        return Status::Error(ErrorKind::DamagedFile, "jxl: the library refused to start decoding");
    }
    JxlDecoderCloseInput(dec);

    JxlBasicInfo info{};
    std::vector<std::uint8_t> pixels;
    bool haveImage = false;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec);
        if (status == JXL_DEC_SUCCESS) break;
        if (status == JXL_DEC_ERROR) return Refusal("its data does not decode");
        if (status == JXL_DEC_NEED_MORE_INPUT) return Refusal("it ends too early");
        if (status == JXL_DEC_BASIC_INFO) {
            if (JxlDecoderGetBasicInfo(dec, &info) != JXL_DEC_SUCCESS) return Refusal("its header does not decode");
            if (info.have_animation) return Refusal("it holds an animation");
            if (info.xsize == 0 || info.ysize == 0 || std::uint64_t{info.xsize} * info.ysize > kMaxReferencePixels) {
                return Refusal("its size is out of range");
            }
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            std::size_t size = 0;
            if (JxlDecoderImageOutBufferSize(dec, &kRgb8, &size) != JXL_DEC_SUCCESS ||
                size != std::size_t{info.xsize} * info.ysize * 3) {
                return Refusal("its frame does not match its size");
            }
            pixels.resize(size);
            if (JxlDecoderSetImageOutBuffer(dec, &kRgb8, pixels.data(), pixels.size()) != JXL_DEC_SUCCESS) {
                return Refusal("its frame cannot be decoded to 8-bit RGB");
            }
        } else if (status == JXL_DEC_FULL_IMAGE) {
            haveImage = true;
        } else {
            return Refusal("the decoder asked for something unexpected");
        }
    }
    if (!haveImage) return Refusal("it holds no picture");
    SpreadInterleavedRgb(pixels.data(), info.ysize, info.xsize, std::size_t{info.xsize} * 3, image);
    return Status::Ok();
}

}  // namespace pictora
