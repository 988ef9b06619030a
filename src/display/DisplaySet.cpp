#include "display/DisplaySet.h"

#include "display/MaskSampler.h"
#include "display/PlaneViews.h"
#include "support/DebugLog.h"

namespace pictora {
namespace {

// One channel of the image as the masks see it: a plane and the region of
// it that holds the channel.
struct ChannelRegion {
    const Plane* plane;
    std::uint32_t rows;
    std::uint32_t columns;
};

}  // namespace

DisplaySet::DisplaySet() { InitDisplays(); }

void DisplaySet::InitDisplays() {
    header = BitmapInfoHeader{};
    FreeDisplays();
}

void DisplaySet::FreeDisplays() {
    std::lock_guard lock(slotsMutex);
    for (Bitmap& slot : slotBitmaps) slot.reset();
}

std::shared_ptr<const DisplayBitmap> DisplaySet::GetDisplay(DisplaySlot slot) const {
    std::lock_guard lock(slotsMutex);
    return slotBitmaps[static_cast<std::size_t>(slot)];
}

void DisplaySet::BuildSourceDisplays(const ImageBuffer& image) {
    std::array<Bitmap, 9> group{};
    if (image.rgb) {
        const RgbImage& rgb = *image.rgb;
        const auto rows = static_cast<std::uint32_t>(rgb.height);
        const auto columns = static_cast<std::uint32_t>(rgb.width);
        group = {GreyView(header, rgb.red, rows, columns),
                 GreyView(header, rgb.green, rows, columns),
                 GreyView(header, rgb.blue, rows, columns),
                 ColourView(header, rgb.red, rgb.green, rgb.blue, rows, columns),
                 GreyView(header, image.lumaY, rows, columns),
                 GreyView(header, image.chromaCb, rows, columns),
                 GreyView(header, image.chromaCr, rows, columns),
                 GreyView(header, image.chromaCb420, rows / 2, columns / 2),
                 GreyView(header, image.chromaCr420, rows / 2, columns / 2)};
    }
    Publish(DisplaySlot::SourceRed, group);
}

void DisplaySet::BuildDecodedDisplays(std::uint32_t height, std::uint32_t width, const Plane& plane1,
                                      const Plane& plane2, const Plane& plane3) {
    const std::array<Bitmap, 4> group = {GreyView(header, plane1, height, width),
                                         GreyView(header, plane2, height, width),
                                         GreyView(header, plane3, height, width),
                                         ColourView(header, plane1, plane2, plane3, height, width)};
    Publish(DisplaySlot::DecodedPlane1, group);
}

void DisplaySet::BuildMaskDisplays(const ImageBuffer& image, ColorSpace colourSpace, const Plane& mask1,
                                   const Plane& mask2, const Plane& mask3) {
    const int mode = colourSpace == ColorSpace::YCbCr444 ? 0 : colourSpace == ColorSpace::Rgb ? 1 : 2;
    DebugLog("Gerando mascaras %i %i\n", mode, 3);
    std::array<Bitmap, 4> group{};
    if (image.rgb) {
        const RgbImage& rgb = *image.rgb;
        const auto rows = static_cast<std::uint32_t>(rgb.height);
        const auto columns = static_cast<std::uint32_t>(rgb.width);
        ChannelRegion channels[3];
        if (colourSpace == ColorSpace::YCbCr444) {
            channels[0] = {&image.lumaY, rows, columns};
            channels[1] = {&image.chromaCb, rows, columns};
            channels[2] = {&image.chromaCr, rows, columns};
        } else if (colourSpace == ColorSpace::YCbCr420) {
            channels[0] = {&image.lumaY, rows, columns};
            channels[1] = {&image.chromaCb420, rows / 2, columns / 2};
            channels[2] = {&image.chromaCr420, rows / 2, columns / 2};
        } else {
            // RGB, and also "nothing selected", which the coder treats as RGB.
            DebugLog("Gerando mascaras RGB\n");
            channels[0] = {&rgb.red, rows, columns};
            channels[1] = {&rgb.green, rows, columns};
            channels[2] = {&rgb.blue, rows, columns};
        }
        const MaskSampler marks[3] = {MaskSampler(mask1, channels[0].rows, channels[0].columns),
                                      MaskSampler(mask2, channels[1].rows, channels[1].columns),
                                      MaskSampler(mask3, channels[2].rows, channels[2].columns)};
        for (int k = 0; k < 3; ++k) {
            const ChannelRegion& channel = channels[k];
            group[static_cast<std::size_t>(k)] =
                MarkedChannelView(header, *channel.plane, marks[k], k, channel.rows, channel.columns);
        }
        group[3] = MarksCompositeView(header, rgb.red, rgb.green, rgb.blue, marks,
                                      colourSpace == ColorSpace::YCbCr420, rows, columns);
    }
    Publish(DisplaySlot::Mask1, group);
}

template <std::size_t Count>
void DisplaySet::Publish(DisplaySlot firstSlot, const std::array<Bitmap, Count>& group) {
    std::lock_guard lock(slotsMutex);
    for (std::size_t k = 0; k < Count; ++k) slotBitmaps[static_cast<std::size_t>(firstSlot) + k] = group[k];
}

}  // namespace pictora
