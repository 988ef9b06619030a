#include "ui/ResultChoice.h"

namespace pictora {

QString ResultChoiceCaption(ResultChoice choice) {
    switch (choice) {
        case ResultChoice::kReconstruction: return QString::fromUtf8("Reconstrução");
        case ResultChoice::kJpeg: return QStringLiteral("JPEG");
        case ResultChoice::kWebP: return QStringLiteral("WebP");
        case ResultChoice::kAvif: return QStringLiteral("AVIF");
        case ResultChoice::kJpegXl: return QStringLiteral("JPEG XL");
    }
    return {};
}

}  // namespace pictora
