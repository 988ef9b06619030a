#pragma once

#include <string_view>

namespace pictora {

enum class RdFontWeight { Book, Bold };

// The advance of a UTF-8 text set in DejaVu Sans at `size` units per em, from
// the font's own advance widths for printable ASCII and an average letter's
// for anything else; bold is taken as a tenth wider. The layout sizes its
// margins and the legend with it, so it needs no font library.
double RdTextWidth(std::string_view text, double size, RdFontWeight weight);

}  // namespace pictora
