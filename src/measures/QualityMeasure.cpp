#include "measures/QualityMeasure.h"

namespace pictora {

std::string_view MeasureColumnName(QualityMeasure measure) {
    return measure == QualityMeasure::Psnr ? "psnr" : "msssim";
}

}  // namespace pictora
