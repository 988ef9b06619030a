#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "display/DisplayBitmap.h"
#include "image/ColorSpace.h"
#include "image/ImageBuffer.h"
#include "support/Plane.h"

namespace pictora {

// The seventeen slots of the bitmaps the form shows, in order.
enum class DisplaySlot {
    DecodedPlane1, DecodedPlane2, DecodedPlane3, DecodedColour,
    Mask1, Mask2, Mask3, MarksComposite,
    SourceRed, SourceGreen, SourceBlue, SourceColour, SourceY, SourceCb, SourceCr, SourceCb420, SourceCr420,
};

// The bitmaps the form shows, in seventeen numbered slots:
//   0-3   decoded: grey views of planes 1, 2, 3, and the three as R, G, B
//   4-7   masks: channels 1, 2, 3 in grey with their marks in red, green,
//         blue, and the source in colour with the marks of all three
//   8-16  source: grey R, G, B, colour, grey Y, Cb, Cr, grey 4:2:0 Cb, Cr
// The worker thread rebuilds groups while the interface thread paints, so a
// slot holds a shared, immutable bitmap: a group is built completely, then
// swapped in under a short lock, and a reader keeps painting the bitmap it
// took even after its slot moved on.
class DisplaySet {
public:
    static constexpr int kSlotCount = 17;

    DisplaySet();

    // Restores the fixed header values and empties every slot.
    void InitDisplays();
    void FreeDisplays();
    // The bitmap of a slot; null when the slot is empty.
    std::shared_ptr<const DisplayBitmap> GetDisplay(DisplaySlot slot) const;

    // Slots 8-16 from a loaded image of W x H: slots 15 and 16 at
    // (W div 2) x (H div 2) from the top-left of the 4:2:0 chroma planes.
    void BuildSourceDisplays(const ImageBuffer& image);
    // Slots 0-3 at width x height.
    void BuildDecodedDisplays(std::uint32_t height, std::uint32_t width, const Plane& plane1, const Plane& plane2,
                              const Plane& plane3);
    // Slots 4-7. The channels are R, G, B, or Y, Cb, Cr for YCbCr 4:4:4,
    // or Y and the half-size chroma for 4:2:0. Each mask is read over its
    // channel's region only; an empty one marks nothing.
    void BuildMaskDisplays(const ImageBuffer& image, ColorSpace colourSpace, const Plane& mask1, const Plane& mask2,
                           const Plane& mask3);

private:
    using Bitmap = std::shared_ptr<const DisplayBitmap>;

    template <std::size_t Count>
    void Publish(DisplaySlot firstSlot, const std::array<Bitmap, Count>& group);

    // The fixed values; every bitmap starts from a copy and sets its own size,
    // so the two threads never write a shared header.
    BitmapInfoHeader header;
    mutable std::mutex slotsMutex;
    std::array<Bitmap, kSlotCount> slotBitmaps;
};

}  // namespace pictora
