#pragma once

#include <QIcon>
#include <array>

namespace pictora {

// The four swatches, 6 x 16 pixels, beside tab and column captions: image 0
// three vertical bands red, green, blue; 1 red; 2 green; 3 blue.
const std::array<QIcon, 4>& ChannelIcons();

}  // namespace pictora
