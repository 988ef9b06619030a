#include "measures/QualityMeasure.h"

namespace pictora {

std::string_view MeasureColumnName(QualityMeasure measure) {
    switch (measure) {
        case QualityMeasure::Psnr: return "psnr";
        case QualityMeasure::MsSsim: return "msssim";
        case QualityMeasure::Butteraugli: return "butteraugli";
    }
    return "";
}

}  // namespace pictora
