#pragma once

#include <memory>
#include <string_view>

#include "reference/ReferenceCodec.h"

namespace pictora {

std::unique_ptr<ReferenceCodec> MakeReferenceCodec(ReferenceCodecKind kind);
// Refuses a name that is not in kReferenceCodecs.
Status MakeReferenceCodec(std::string_view name, std::unique_ptr<ReferenceCodec>& codec);

}  // namespace pictora
