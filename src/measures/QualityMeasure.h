#pragma once

#include <string_view>

namespace pictora {

// The quality measure a rate–quality curve is drawn and compared by; higher
// is better for both. (A measure where lower is better, such as Butteraugli,
// would enter a curve negated.)
enum class QualityMeasure { Psnr, MsSsim };

// The measures rate–quality studies compare by, in the order their rows and
// charts come.
inline constexpr QualityMeasure kRdMeasures[] = {QualityMeasure::Psnr, QualityMeasure::MsSsim};

// "psnr" or "msssim", as results' columns are named.
std::string_view MeasureColumnName(QualityMeasure measure);

}  // namespace pictora
