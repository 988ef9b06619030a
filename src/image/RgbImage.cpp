#include "image/RgbImage.h"

namespace pictora {

RgbImage::~RgbImage() = default;

int RgbImage::Load(const std::string& /*path*/) { return 0; }

int RgbImage::Save(const std::string& /*path*/, int /*selector*/) { return 0; }

}  // namespace pictora
