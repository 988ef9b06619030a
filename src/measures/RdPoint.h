#pragma once

namespace pictora {

// One coded result on a rate–distortion plane: its rate in bits per pixel and
// its quality by one measure (pSNR in dB, MS-SSIM, ...), higher being better.
struct RdPoint {
    double bpp = 0.0;
    double quality = 0.0;

    bool operator==(const RdPoint&) const = default;
};

}  // namespace pictora
