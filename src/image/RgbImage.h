#pragma once

#include <cstdint>
#include <string>

#include "support/Plane.h"

namespace pictora {

// An image as three 8-bit planes of height x width samples. The base class
// only holds the planes; a file format derives from it and overrides Load and
// Save, whose base versions do nothing and report success (0).
class RgbImage {
public:
    virtual ~RgbImage();

    virtual int Load(const std::string& path);
    // `selector` chooses what is written: 0 the three planes, 1..3 one plane.
    virtual int Save(const std::string& path, int selector);

    std::int32_t height = 0;
    std::int32_t width = 0;
    Plane red;
    Plane green;
    Plane blue;
};

}  // namespace pictora
