#pragma once

#include <array>
#include <optional>
#include <QString>

#include "reference/ReferenceCodecTable.h"

namespace pictora {

// What the viewer compares the source with: the form's current
// reconstruction, or a reference codec's coding of the source at the size of
// the current coded image.
enum class ResultChoice { kReconstruction, kJpeg, kWebP, kAvif, kJpegXl };

inline constexpr std::array<ResultChoice, 5> kResultChoices = {ResultChoice::kReconstruction, ResultChoice::kJpeg,
                                                               ResultChoice::kWebP, ResultChoice::kAvif,
                                                               ResultChoice::kJpegXl};

// The choice's entry in the viewer's result list: "Reconstrução", or the
// codec's title.
QString ResultChoiceCaption(ResultChoice choice);

// The reference codec a choice shows (none for the reconstruction), and the
// choice that shows a codec.
std::optional<ReferenceCodecKind> CodecOf(ResultChoice choice);
ResultChoice ChoiceOf(ReferenceCodecKind kind);

}  // namespace pictora
