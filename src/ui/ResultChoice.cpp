#include "ui/ResultChoice.h"

namespace pictora {

QString ResultChoiceCaption(ResultChoice choice) {
    const std::optional<ReferenceCodecKind> codec = CodecOf(choice);
    if (!codec) return QString::fromUtf8("Reconstrução");
    const std::string_view title = TraitsOf(*codec).title;
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

std::optional<ReferenceCodecKind> CodecOf(ResultChoice choice) {
    switch (choice) {
        case ResultChoice::kJpeg: return ReferenceCodecKind::Jpeg;
        case ResultChoice::kWebP: return ReferenceCodecKind::Webp;
        case ResultChoice::kAvif: return ReferenceCodecKind::Avif;
        case ResultChoice::kJpegXl: return ReferenceCodecKind::Jxl;
        case ResultChoice::kReconstruction: break;
    }
    return std::nullopt;
}

ResultChoice ChoiceOf(ReferenceCodecKind kind) {
    switch (kind) {
        case ReferenceCodecKind::Jpeg: return ResultChoice::kJpeg;
        case ReferenceCodecKind::Webp: return ResultChoice::kWebP;
        case ReferenceCodecKind::Avif: return ResultChoice::kAvif;
        case ReferenceCodecKind::Jxl: return ResultChoice::kJpegXl;
    }
    return ResultChoice::kReconstruction;
}

}  // namespace pictora
