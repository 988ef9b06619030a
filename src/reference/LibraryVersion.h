#pragma once

#include <string>

#include "reference/ReferenceCodecTable.h"

namespace pictora {

// The library behind the codec and its version as the library reports it
// when it runs ("libwebp 1.2.4"; libjpeg-turbo, which has no such call, as
// its headers name it): figures made with other versions are not the same
// figures.
std::string LibraryVersion(ReferenceCodecKind codec);

}  // namespace pictora
