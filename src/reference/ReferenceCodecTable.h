#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pictora {

enum class ReferenceCodecKind { Jpeg, Webp, Avif, Jxl };

// How the same-size search walks a codec's knob grid: a cheap encoder can
// afford every grid value, a slow one is bisected to the fit boundary.
enum class KnobSearchRule { WholeGrid, BisectBoundary };

// A knob grid: the whole numbers from `worst` to `best` one apart, each
// divided by `divisor` (the tenths of a distance, say).
struct KnobGridSpan {
    int worst = 0;
    int best = 0;
    int divisor = 1;
};

// What the workbench knows of a reference codec besides its library: the
// names people and files use for it, its one quality setting (the knob), and
// the knob values comparisons use.
struct ReferenceCodecTraits {
    ReferenceCodecKind kind;
    std::string_view name;        // the command line's, the results' and file names': "jpeg"
    std::string_view title;       // legends' and the viewer's: "JPEG"
    std::string_view extension;   // of its files: "jpg"
    std::string_view knobName;    // "quality", "quantizer", "distance"
    std::string_view knobSymbol;  // before a knob value in the viewer: "q", "qp", "d"
    KnobSearchRule searchRule;
    KnobGridSpan grid;
    std::span<const double> ladder;  // a rate-distortion curve's knob values, worst first

    // Every knob value of the grid, worst first.
    std::vector<double> Grid() const;
};

inline constexpr double kJpegLadder[] = {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95};
inline constexpr double kWebpLadder[] = {0,  5,  10, 15, 20, 25, 30, 35, 40, 45, 50,
                                         55, 60, 65, 70, 75, 80, 85, 90, 95, 100};
inline constexpr double kAvifLadder[] = {60, 55, 50, 45, 40, 35, 30, 25, 20, 15, 10, 5};
inline constexpr double kJxlLadder[] = {12, 8, 6, 4, 3, 2, 1.5, 1, 0.7, 0.5};

// Every reference codec, in the order reports list them.
inline constexpr ReferenceCodecTraits kReferenceCodecs[] = {
    {ReferenceCodecKind::Jpeg, "jpeg", "JPEG", "jpg", "quality", "q", KnobSearchRule::WholeGrid, {1, 100, 1}, kJpegLadder},
    {ReferenceCodecKind::Webp, "webp", "WebP", "webp", "quality", "q", KnobSearchRule::WholeGrid, {0, 100, 1}, kWebpLadder},
    {ReferenceCodecKind::Avif, "avif", "AVIF", "avif", "quantizer", "qp", KnobSearchRule::BisectBoundary, {63, 0, 1},
     kAvifLadder},
    {ReferenceCodecKind::Jxl, "jxl", "JPEG XL", "jxl", "distance", "d", KnobSearchRule::BisectBoundary, {250, 1, 10},
     kJxlLadder},
};

// Every kind, in the table's order.
inline constexpr std::array<ReferenceCodecKind, std::size(kReferenceCodecs)> kAllReferenceCodecKinds = [] {
    std::array<ReferenceCodecKind, std::size(kReferenceCodecs)> kinds{};
    for (std::size_t k = 0; k < kinds.size(); ++k) kinds[k] = kReferenceCodecs[k].kind;
    return kinds;
}();

constexpr const ReferenceCodecTraits& TraitsOf(ReferenceCodecKind kind) {
    for (const ReferenceCodecTraits& traits : kReferenceCodecs)
        if (traits.kind == kind) return traits;
    return kReferenceCodecs[0];  // every kind has its entry
}
// The codec of that name ("jpeg"), or none.
const ReferenceCodecTraits* ReferenceCodecNamed(std::string_view name);
// The names as a message lists them: "jpeg, webp, avif or jxl".
std::string ReferenceCodecNameList();

}  // namespace pictora
