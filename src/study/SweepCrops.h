#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "study/SweepJobs.h"
#include "study/SweepRow.h"
#include "support/Status.h"

namespace pictora {

// One picture beside the others in an image's row of crops: what it is and
// the crop as PNG file bytes.
struct ReportCrop {
    std::string caption;  // "source", "pictora rgb 4×4 ALFA 0.1, radius 0.05, step 3 — 1.234 bpp, 30.12 dB"
    std::vector<std::uint8_t> png;
};

struct ImageCrops {
    std::string image;  // the image's name, as results.csv gives it
    std::vector<ReportCrop> crops;
};

// The side of a crop, in pixels at 1:1 (smaller when the image is).
inline constexpr std::uint32_t kCropSide = 160;

// The crops of image `image` of the sweep, all of the same square at the
// image's centre: the source; its best Pictora point (the highest pSNR of
// its trained points), trained again from a new run exactly as its job
// trained it, so it is the same reconstruction; and, for each codec of the
// sweep, its rung whose bpp is nearest that point's, encoded and decoded
// again. `rows` are the sweep's points (any images). Nothing for an image
// without a trained point.
Status MakeImageCrops(const SweepJobList& list, std::size_t image, const std::vector<SweepRow>& rows,
                      std::vector<ReportCrop>& crops);

}  // namespace pictora
