#include "image/PngReader.h"

#include <libdeflate.h>

#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "image/PngRowKernels.h"
#include "support/UninitialisedAllocator.h"

namespace pictora {
namespace {

using ByteBuffer = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

// Threads waiting for rows are told every this many, so that they wake seldom.
constexpr std::uint32_t kRowsPerCall = 16;

struct InflaterDeleter {
    void operator()(libdeflate_decompressor* inflater) const { libdeflate_free_decompressor(inflater); }
};

// The filtered rows of `layout`'s image data, kPngRowSlack bytes more for the
// row kernels to read past the last row; false with a message in `error`.
bool Inflate(const PngLayout& layout, ByteBuffer& filtered, std::string& error) {
    // libdeflate takes the zlib stream in one piece.
    ByteBuffer joined;
    std::span<const std::uint8_t> stream = layout.imageData.front();
    if (layout.imageData.size() > 1) {
        joined.reserve(layout.imageDataBytes);
        for (std::span<const std::uint8_t> piece : layout.imageData) joined.insert(joined.end(), piece.begin(), piece.end());
        stream = joined;
    }
    // At most kMostInflatedPerByte times the data: checked by the caller.
    const std::size_t size = layout.header.FilteredBytes();
    filtered.resize(size + kPngRowSlack);
    const std::unique_ptr<libdeflate_decompressor, InflaterDeleter> inflater(libdeflate_alloc_decompressor());
    if (!inflater) throw std::bad_alloc();
    std::size_t used = 0;
    std::size_t produced = 0;
    switch (libdeflate_zlib_decompress_ex(inflater.get(), stream.data(), stream.size(), filtered.data(), size, &used,
                                          &produced)) {
        case LIBDEFLATE_SUCCESS:
            if (produced == size) return true;
            error = "its image data end after " + std::to_string(produced) + " of the " + std::to_string(size) +
                    " bytes of its rows";
            return false;
        case LIBDEFLATE_INSUFFICIENT_SPACE:
            error = "its image data hold more than the " + std::to_string(size) + " bytes of its rows";
            return false;
        default: error = "its image data are not a valid zlib stream"; return false;
    }
}

}  // namespace

bool PngReader::ReadHeader(PngHeader& header) {
    if (!ReadPngLayout(file_, layout_, error_)) return false;
    header = layout_.header;
    return true;
}

bool PngReader::ReadRgbPlanes(Plane& red, Plane& green, Plane& blue,
                              const std::function<void(std::uint32_t)>& rowsDone) {
    const PngHeader& header = layout_.header;
    if (header.FilteredBytes() > kMostInflatedPerByte * layout_.imageDataBytes) {
        error_ = "its " + std::to_string(layout_.imageDataBytes) + " bytes of image data cannot hold the " +
                 std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels it declares";
        return false;
    }
    for (Plane* plane : {&red, &green, &blue}) plane->AllocateForWriting(header.height, header.width);
    rowsDone(0);
    ByteBuffer filtered;
    if (!Inflate(layout_, filtered, error_)) return false;
    const std::size_t sampleBytes = header.bitDepth / 8;
    const std::size_t stride = header.FilterStride();
    const std::uint8_t* next = filtered.data();
    const std::span<const PngPass> passes =
        header.interlaced ? std::span<const PngPass>(kAdam7Passes) : std::span<const PngPass>(&kWholeImagePass, 1);
    for (const PngPass& pass : passes) {
        const std::uint32_t columns = pass.Columns(header.width);
        const std::uint32_t rows = pass.Rows(header.height);
        if (columns == 0 || rows == 0) continue;
        const std::size_t bytes = header.RowBytes(columns);
        ByteBuffer row(bytes + kPngRowSlack, 0);
        ByteBuffer above(bytes + kPngRowSlack, 0);
        for (std::uint32_t i = 0; i < rows; ++i, next += 1 + bytes) {
            if (next[0] >= kPngFilterCount) {
                error_ = "a row of its image data has filter type " + std::to_string(next[0]);
                return false;
            }
            UnfilterRow(PngFilter{next[0]}, next + 1, above.data(), bytes, stride, row.data());
            const std::uint32_t y = pass.y0 + i * pass.dy;
            if (!header.interlaced) {
                SplitRgb(row.data(), sampleBytes, columns, red[y], green[y], blue[y]);
                if ((i + 1) % kRowsPerCall == 0 || i + 1 == rows) rowsDone(i + 1);
            } else {
                for (std::uint32_t j = 0; j < columns; ++j) {
                    const std::uint8_t* pixel = row.data() + 3 * sampleBytes * j;
                    const std::uint32_t x = pass.x0 + j * pass.dx;
                    red[y][x] = pixel[0];
                    green[y][x] = pixel[sampleBytes];
                    blue[y][x] = pixel[2 * sampleBytes];
                }
            }
            std::swap(row, above);
        }
    }
    if (header.interlaced) rowsDone(header.height);
    return true;
}

}  // namespace pictora
