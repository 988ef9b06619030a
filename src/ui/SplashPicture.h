#pragma once

#include <QPixmap>

namespace pictora {

// The 500 x 375 picture of the splash window and the about box: the
// program's name over a sample photograph.
QPixmap SplashPicture();

}  // namespace pictora
