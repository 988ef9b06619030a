#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "image/RgbImage.h"
#include "support/Plane.h"
#include "support/Status.h"

namespace pictora {

// Which group of planes CopyPlanes fills.
enum class PlaneGroup { Rgb, YCbCr };

// Whether loading a PNG derives the Y, Cb, Cr and 4:2:0 planes at once or
// leaves them for DeriveYCbCrPlanes, so that an RGB run never pays for them.
enum class DerivedPlanes { AtLoad, OnRequest };

// One image in memory: its RGB planes (inside `rgb`), full-resolution Y, Cb,
// Cr planes and the two 4:2:0 chroma planes. The coding pipeline keeps its
// source image in one, loaded from a PNG file.
//
// All planes have the size of `rgb`. The 4:2:0 planes are allocated at full
// size too; their decimated samples fill the top-left height/2 x width/2
// region (halves rounded down) and the rest keeps the full-resolution chroma.
// No lock of its own: the pipeline decides which thread uses it when.
class ImageBuffer {
public:
    std::unique_ptr<RgbImage> rgb;  // null while the buffer is empty
    Plane lumaY;
    Plane chromaCb;
    Plane chromaCr;
    Plane chromaCb420;
    Plane chromaCr420;

    // Frees the image and every plane: back to the state of a new buffer.
    void Release();
    // Replaces the contents by a zero-filled image of that size with its
    // Y, Cb, Cr planes, the 4:2:0 planes left empty. Used for reconstructions.
    void Allocate(std::int32_t height, std::int32_t width);
    // Replaces the contents by a PNG file and derives Y, Cb, Cr and the 4:2:0
    // chroma. On failure the buffer is left empty and the message names the file.
    Status LoadPng(const std::string& path);
    // The same from the bytes of a PNG file in memory; `name` heads messages.
    Status DecodePng(std::span<const std::uint8_t> file, const std::string& name,
                     DerivedPlanes derived = DerivedPlanes::AtLoad);
    // Y, Cb, Cr and the 4:2:0 chroma from the RGB planes, unless they are
    // there already; nothing for an empty buffer.
    void DeriveYCbCrPlanes();
    bool HasYCbCrPlanes() const { return rgb && !lumaY.Empty(); }

    // The image's size, 0 when the buffer is empty.
    int GetHeight() const;
    int GetWidth() const;

    // Copies three planes of at least the buffer's size into one group of it.
    void CopyPlanes(PlaneGroup target, const Plane& a, const Plane& b, const Plane& c);
};

}  // namespace pictora
