#include "image/ZlibPieces.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>

#include "image/DeflateBlocks.h"
#include "support/UninitialisedAllocator.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

using ByteBuffer = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

Compressor NewCompressor(int level) {
    Compressor compressor(libdeflate_alloc_compressor(level));
    if (!compressor) throw std::bad_alloc();
    return compressor;
}

// A raw deflate stream of `data`, whose last block is made to go on when
// `last` is false. Empty when the stream's blocks cannot be found, which a
// stream libdeflate wrote always allows.
ByteBuffer DeflatePiece(libdeflate_compressor* compressor, std::span<const std::uint8_t> data, bool last) {
    ByteBuffer piece(libdeflate_deflate_compress_bound(compressor, data.size()) + 5);
    piece.resize(libdeflate_deflate_compress(compressor, data.data(), data.size(), piece.data(), piece.size()));
    if (last) return piece;
    DeflateEnds ends;
    if (!FindDeflateEnds(piece, ends)) return {};
    piece[ends.lastBlock / 8] &= static_cast<std::uint8_t>(~(1u << (ends.lastBlock % 8)));
    // The stored block's 3 header bits (0: not last, type 0) go where the
    // stream ended, into the last byte's zero padding if they fit there.
    piece.resize((ends.end + 7) / 8);
    if (ends.end % 8 == 0 || ends.end % 8 > 5) piece.push_back(0);
    piece.insert(piece.end(), {0x00, 0x00, 0xFF, 0xFF});  // LEN 0, NLEN ~0
    return piece;
}

void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data, int level) {
    const std::size_t count = data.empty() ? 1 : (data.size() + kZlibPieceBytes - 1) / kZlibPieceBytes;
    std::vector<ByteBuffer> pieces(count);
    WorkerPool& pool = WorkerPool::Shared();
    std::vector<Compressor> compressors(pool.Participants());
    pool.Run(static_cast<unsigned>(count), [&](unsigned k, unsigned participant) {
        if (!compressors[participant]) compressors[participant] = NewCompressor(level);
        pieces[k] = DeflatePiece(compressors[participant].get(), data.subspan(k * kZlibPieceBytes).first(
                                     std::min(kZlibPieceBytes, data.size() - k * kZlibPieceBytes)),
                                 k + 1 == count);
    });
    if (std::any_of(pieces.begin(), pieces.end() - 1, [](const auto& piece) { return piece.empty(); }))
        pieces.assign(1, DeflatePiece(NewCompressor(level).get(), data, true));  // not expected
    std::size_t size = 6;
    for (const auto& piece : pieces) size += piece.size();
    std::vector<std::uint8_t> stream;
    stream.reserve(size);
    stream.push_back(0x78);  // deflate, 32 KiB window
    stream.push_back(0x9C);  // default level, and the check bits
    for (const auto& piece : pieces) stream.insert(stream.end(), piece.begin(), piece.end());
    PutBigEndian32(stream, libdeflate_adler32(1, data.data(), data.size()));
    return stream;
}

}  // namespace pictora
