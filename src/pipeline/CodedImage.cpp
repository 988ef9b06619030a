#include "pipeline/CodedImage.h"

#include <string>
#include <utility>

#include "image/ChromaResampling.h"
#include "image/ColorConversion.h"
#include "quantizer/CodedImageLayout.h"

namespace pictora {

namespace {

Status LayoutOf(const CodedImage& image, CodedImageLayout& layout) {
    if (image.channels[0].NeuronCount() == 0)
        return Status::Error(ErrorKind::NothingCoded, "nothing has been coded in channel 0");
    for (int c = 0; c < 3; ++c) {
        // The colour space travels in the top byte of channel 0's width.
        const std::uint8_t colourCode = c == 0 ? FileCodeOf(image.colorSpace) : 0;
        if (Status made = CodedSectionOf(image.channels[c], colourCode, layout.sections[c]); !made)
            return made.Prefixed("channel " + std::to_string(c));
    }
    return Status::Ok();
}

}  // namespace

Status EncodeCodedImage(const CodedImage& image, std::vector<std::uint8_t>& bytes) {
    CodedImageLayout layout;
    if (Status made = LayoutOf(image, layout); !made) return made;
    return WriteCodedImageLayout(layout, bytes);
}

Status CheckCodedImage(const CodedImage& image) {
    CodedImageLayout layout;
    if (Status made = LayoutOf(image, layout); !made) return made;
    return CheckCodedImageHeads({layout.sections[0].header, layout.sections[1].header, layout.sections[2].header});
}

Status DecodeCodedImage(std::span<const std::uint8_t> bytes, CodedImage& image) {
    CodedImageLayout layout;
    if (Status read = ReadCodedImageLayout(bytes, layout); !read) return read;
    CodedImage decoded;
    decoded.colorSpace = ColorSpaceFromFileCode(layout.ColourCode());
    for (int c = 0; c < 3; ++c) decoded.channels[c] = CodedChannelOf(layout.sections[c]);
    image = std::move(decoded);
    return Status::Ok();
}

RgbImage Reconstruct(const CodedImage& image, LowPassFilter filter, DeblockStrength deblock) {
    const std::uint32_t rows = image.Rows();
    const std::uint32_t columns = image.Columns();
    RgbImage rgb;
    rgb.Resize(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns));
    Plane* const planes[3] = {&rgb.red, &rgb.green, &rgb.blue};
    for (int c = 0; c < 3; ++c) {
        const CodedChannel& channel = image.channels[c];
        Plane& plane = *planes[c];
        // Each channel is rebuilt and deblocked on its own plane and block
        // grid, the half-size chroma of 4:2:0 in the top-left corner.
        RebuildPlane(channel.codebook, channel.side, channel.codes, channel.rows, channel.columns, plane);
        if (plane.Height() >= channel.rows && plane.Width() >= channel.columns)
            Deblock(plane, channel.rows, channel.columns, channel.side, deblock);
        if (c != 0 && image.colorSpace == ColorSpace::YCbCr420) {
            const Plane half = plane;
            Upsample420(rows, columns, plane, half);
        }
    }
    if (IsYCbCr(image.colorSpace)) YCbCrToRgb(rows, columns, rgb.red, rgb.green, rgb.blue, rgb.red, rgb.green, rgb.blue);
    for (Plane* plane : planes) BoxFilter(*plane, rows, columns, filter);
    return rgb;
}

}  // namespace pictora
