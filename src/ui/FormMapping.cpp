#include "ui/FormMapping.h"

namespace pictora {

ColorSpace ColorSpaceFromSelection(int index) {
    switch (index) {
        case 0:
        case 1: return ColorSpace::Rgb;
        case 2: return ColorSpace::YCbCr444;
        case 3: return ColorSpace::YCbCr420;
        default: return ColorSpace::None;
    }
}

LosslessMode LosslessModeFromSelection(int index) {
    switch (index) {
        case 1: return LosslessMode::Huffman;
        case 2: return LosslessMode::Arithmetic;
        case 3: return LosslessMode::Contextual;
        default: return LosslessMode::None;
    }
}

LowPassFilter FilterFromSelections(int typeIndex, int sizeIndex) {
    if (typeIndex == 0) return LowPassFilter::None;
    switch (sizeIndex) {
        case 0: return LowPassFilter::Box3;
        case 1: return LowPassFilter::Box5;
        case 2: return LowPassFilter::Box7;
        case 3: return LowPassFilter::Box9;
        default: return LowPassFilter::None;
    }
}

std::uint32_t BlockDimensionFromSelection(int index) {
    const auto side = static_cast<std::uint32_t>(index + 2);
    return side * side;
}

std::optional<DisplaySlot> MaskSlot(int tab) {
    switch (tab) {
        case 1: return DisplaySlot::Mask1;
        case 2: return DisplaySlot::Mask2;
        case 3: return DisplaySlot::Mask3;
        default: return std::nullopt;
    }
}

std::optional<DisplaySlot> SourceSlot(int tab, int colourIndex, bool maskShown) {
    if (tab < 0 || tab > 3) return std::nullopt;
    if (tab == 0) return DisplaySlot::SourceColour;
    if (maskShown) return MaskSlot(tab);
    constexpr std::array<DisplaySlot, 3> kRgb = {DisplaySlot::SourceRed, DisplaySlot::SourceGreen, DisplaySlot::SourceBlue};
    constexpr std::array<DisplaySlot, 3> kYCbCr = {DisplaySlot::SourceY, DisplaySlot::SourceCb, DisplaySlot::SourceCr};
    constexpr std::array<DisplaySlot, 3> kYCbCr420 = {DisplaySlot::SourceY, DisplaySlot::SourceCb420,
                                                      DisplaySlot::SourceCr420};
    const auto channel = static_cast<std::size_t>(tab - 1);
    switch (colourIndex) {
        case 2: return kYCbCr[channel];
        case 3: return kYCbCr420[channel];
        default: return kRgb[channel];
    }
}

std::optional<DisplaySlot> CodedSlot(int tab) {
    switch (tab) {
        case 0: return DisplaySlot::DecodedColour;
        case 1: return DisplaySlot::DecodedPlane1;
        case 2: return DisplaySlot::DecodedPlane2;
        case 3: return DisplaySlot::DecodedPlane3;
        default: return std::nullopt;
    }
}

}  // namespace pictora
