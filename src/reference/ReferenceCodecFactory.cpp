#include "reference/ReferenceCodecFactory.h"

#include <string>

#include "reference/AvifCodec.h"
#include "reference/JpegCodec.h"
#include "reference/JxlCodec.h"
#include "reference/WebpCodec.h"

namespace pictora {

std::unique_ptr<ReferenceCodec> MakeReferenceCodec(ReferenceCodecKind kind) {
    switch (kind) {
        case ReferenceCodecKind::Jpeg: return std::make_unique<JpegCodec>();
        case ReferenceCodecKind::Webp: return std::make_unique<WebpCodec>();
        case ReferenceCodecKind::Avif: return std::make_unique<AvifCodec>();
        case ReferenceCodecKind::Jxl: return std::make_unique<JxlCodec>();
    }
    return nullptr;
}

Status MakeReferenceCodec(std::string_view name, std::unique_ptr<ReferenceCodec>& codec) {
    const ReferenceCodecTraits* named = ReferenceCodecNamed(name);
    if (named == nullptr)
        return Status::Error(ErrorKind::InvalidSetting,
                             "unknown reference codec '" + std::string(name) + "' (" + ReferenceCodecNameList() + ")");
    codec = MakeReferenceCodec(named->kind);
    return Status::Ok();
}

}  // namespace pictora
