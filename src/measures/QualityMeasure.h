#pragma once

#include <string_view>

namespace pictora {

// The quality measure a rate–quality curve is drawn and compared by, taken
// so that higher is better: pSNR, MS-SSIM, and Butteraugli's 3-norm negated
// (lower distances are better, so its curves run in -3-norm).
enum class QualityMeasure { Psnr, MsSsim, Butteraugli };

// The measures rate–quality studies chart and always compare by, in the
// order their rows and charts come; Butteraugli follows them when measured.
inline constexpr QualityMeasure kRdMeasures[] = {QualityMeasure::Psnr, QualityMeasure::MsSsim};

// "psnr", "msssim" or "butteraugli", as results' columns are named.
std::string_view MeasureColumnName(QualityMeasure measure);

}  // namespace pictora
