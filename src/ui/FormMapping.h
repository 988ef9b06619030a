#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "display/DisplaySet.h"
#include "quantizer/EntropyCoderSlot.h"
#include "image/BoxFilter.h"
#include "image/ColorSpace.h"

namespace pictora {

// One channel's parameters as the form holds them.
struct ChannelSettings {
    std::uint32_t steps = 1;  // training steps still to run
    double R = 0.1;
    double ALFA = 0.1;
};
using ChannelSettingsSet = std::array<ChannelSettings, 3>;

// What the form's list selections (-1 for none) mean to a training step.
// Colour space list: "Espaço de Cores" and "RGB" give RGB, then 4:4:4, 4:2:0.
ColorSpace ColorSpaceFromSelection(int index);
// Lossless stage list: "Nenhum", "Huffman", "Aritmético"; none gives no stage.
LosslessMode LosslessModeFromSelection(int index);
// Filter type "Não Filtrar" (0) gives no filter; otherwise the size selection.
LowPassFilter FilterFromSelections(int typeIndex, int sizeIndex);
// Block-size item i stands for the side i + 2; no selection gives 1 pixel.
std::uint32_t BlockDimensionFromSelection(int index);

// The display slot the source-image picture shows for source tab `tab` with
// colour-space selection `colourIndex`; none when the tab is none of the four.
// `maskShown` is whether the codebook masks are asked for and the mask slot
// holds a bitmap.
std::optional<DisplaySlot> SourceSlot(int tab, int colourIndex, bool maskShown);
// The mask slot of a source tab (the channel tabs 1 to 3), or none.
std::optional<DisplaySlot> MaskSlot(int tab);
// The display slot of coded-image tab `tab`, or none.
std::optional<DisplaySlot> CodedSlot(int tab);

}  // namespace pictora
