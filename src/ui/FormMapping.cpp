#include "ui/FormMapping.h"

#include "pipeline/TrainingJob.h"

namespace pictora {

int ColorSpaceFromSelection(int index) {
    switch (index) {
        case 0:
        case 1: return kColorSpaceRgb;
        case 2: return kColorSpaceYCbCr444;
        case 3: return kColorSpaceYCbCr420;
        default: return kColorSpaceNone;
    }
}

int EntropyModeFromSelection(int index) { return index >= 0 && index <= 2 ? index : 0; }

int FilterIndexFromSelections(int typeIndex, int sizeIndex) {
    if (typeIndex == 0) return kNoFilter;
    return sizeIndex >= 0 && sizeIndex <= 3 ? sizeIndex : kNoFilter;
}

std::uint32_t BlockDimensionFromSelection(int index) {
    const auto side = static_cast<std::uint32_t>(index + 2);
    return side * side;
}

int MaskSlot(int tab) { return tab >= 1 && tab <= 3 ? 3 + tab : -1; }

int SourceSlot(int tab, int colourIndex, bool maskShown) {
    if (tab < 0 || tab > 3) return -1;
    if (tab == 0) return 11;
    if (maskShown) return MaskSlot(tab);
    switch (colourIndex) {
        case 2: return 11 + tab;                  // Y, Cb, Cr at full size
        case 3: return tab == 1 ? 12 : 13 + tab;  // Y, then the half-size Cb and Cr
        default: return 7 + tab;                  // R, G, B
    }
}

int CodedSlot(int tab) {
    switch (tab) {
        case 0: return 3;
        case 1: return 0;
        case 2: return 1;
        case 3: return 2;
        default: return -1;
    }
}

}  // namespace pictora
