#include "reference/JpegCodec.h"

#include <cstdlib>
#include <string>

#include "image/InterleavedRgb.h"
#include "reference/JpegErrorTrap.h"

namespace pictora {
namespace {

// The functions that call setjmp below keep no object with a destructor and
// change no local after setjmp: the longjmp of a libjpeg failure must skip
// nothing. Their state lives in these structs, owned by the caller.

struct JpegCompression {
    jpeg_compress_struct cinfo;
    JpegErrorTrap trap;
    unsigned char* file;  // malloc'ed by libjpeg's memory destination
    unsigned long fileSize;
};

struct JpegDecompression {
    jpeg_decompress_struct cinfo;
    JpegErrorTrap trap;
};

bool Compress(JpegCompression& state, const std::uint8_t* pixels, JDIMENSION height, JDIMENSION width,
              int quality) {
    jpeg_compress_struct& cinfo = state.cinfo;
    cinfo.err = InstallJpegErrorTrap(state.trap);
    if (setjmp(state.trap.jump)) return false;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &state.file, &state.fileSize);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = 2;
    cinfo.comp_info[0].v_samp_factor = 2;
    for (int c = 1; c < 3; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.optimize_coding = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<std::size_t>(cinfo.next_scanline) * width * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

bool ReadHeader(JpegDecompression& state, std::span<const std::uint8_t> file) {
    jpeg_decompress_struct& cinfo = state.cinfo;
    cinfo.err = InstallJpegErrorTrap(state.trap);
    if (setjmp(state.trap.jump)) return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_calc_output_dimensions(&cinfo);
    return true;
}

bool ReadPixels(JpegDecompression& state, std::uint8_t* pixels) {
    jpeg_decompress_struct& cinfo = state.cinfo;
    if (setjmp(state.trap.jump)) return false;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels + static_cast<std::size_t>(cinfo.output_scanline) * cinfo.output_width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

Status JpegCodec::Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const {
    if (Status status = CheckEncodable(image, Name()); !status) return status;
    if (Status status = CheckWholeKnob(knob); !status) return status;
    if (image.height > JPEG_MAX_DIMENSION || image.width > JPEG_MAX_DIMENSION) {
        return Status::Error(ErrorKind::CodecFailure, "jpeg: a side of the image exceeds " + std::to_string(JPEG_MAX_DIMENSION) + " pixels");
    }
    const std::vector<std::uint8_t> pixels = InterleaveRgb(image);
    JpegCompression state{};
    // Released however this ends, memory running out while the file is
    // copied included.
    const struct Release {
        JpegCompression& state;
        ~Release() {
            jpeg_destroy_compress(&state.cinfo);
            std::free(state.file);
        }
    } release{state};
    const bool done = Compress(state, pixels.data(), static_cast<JDIMENSION>(image.height),
                               static_cast<JDIMENSION>(image.width), static_cast<int>(knob));
    if (!done) return Status::Error(ErrorKind::CodecFailure, std::string("jpeg: encoding failed: ") + state.trap.message);
    bytes.assign(state.file, state.file + state.fileSize);
    return Status::Ok();
}

Status JpegCodec::Decode(std::span<const std::uint8_t> file, RgbImage& image) const {
    JpegDecompression state{};
    const struct Release {
        JpegDecompression& state;
        ~Release() { jpeg_destroy_decompress(&state.cinfo); }
    } release{state};
    if (!ReadHeader(state, file))
        return Status::Error(ErrorKind::DamagedFile, std::string("jpeg: the file is refused: ") + state.trap.message);
    const std::uint32_t height = state.cinfo.output_height;
    const std::uint32_t width = state.cinfo.output_width;
    if (state.cinfo.output_components != 3 || std::uint64_t{height} * width > kMaxReferencePixels) {
        return Status::Error(ErrorKind::DamagedFile, "jpeg: the file is refused: not an RGB picture of at most " +
                             std::to_string(kMaxReferencePixels) + " pixels");
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(height) * width * 3);
    if (!ReadPixels(state, pixels.data()))
        return Status::Error(ErrorKind::DamagedFile, std::string("jpeg: the file is refused: ") + state.trap.message);
    SpreadInterleavedRgb(pixels.data(), height, width, std::size_t{width} * 3, image);
    return Status::Ok();
}

}  // namespace pictora
