#pragma once

#include <memory>
#include <string_view>

#include "reference/ReferenceCodec.h"

namespace pictora {

std::unique_ptr<ReferenceCodec> MakeReferenceCodec(ReferenceCodecKind kind);
// Refuses a name other than "jpeg", "webp", "avif" or "jxl".
Status MakeReferenceCodec(std::string_view name, std::unique_ptr<ReferenceCodec>& codec);

// Every kind, in the order reports list them.
inline constexpr ReferenceCodecKind kAllReferenceCodecKinds[] = {ReferenceCodecKind::Jpeg, ReferenceCodecKind::Webp,
                                                                 ReferenceCodecKind::Avif, ReferenceCodecKind::Jxl};

}  // namespace pictora
