#include "entropy/HuffmanCoder.h"

#include <numeric>
#include <string>

#include "entropy/BitWriter.h"
#include "entropy/ByteHistogram.h"
#include "entropy/HuffmanDecoder.h"
#include "entropy/HuffmanTree.h"
#include "support/ByteStream.h"
#include "support/DebugLog.h"

namespace pictora {

// The .huf file, all integers u32 little-endian, no padding:
//
//   offset 0     W           number of code words, ceil(totalBits / 32)
//   offset 4     totalBits   Σ code length × count
//   offset 8     counts      256 × u32: how often byte value 0, 1, …, 255
//                            occurs in the input (0 when absent)
//   offset 1032  words       W × u32: the codes of the input bytes in input
//                            order; stream bit k is bit (k mod 32) of word
//                            (k div 32), each code bit 0 first; bits of the
//                            last word beyond totalBits are 0.
//
// The input length is not stored: it is the sum of the counts. When only one
// byte value occurs its code is empty, totalBits and W are 0, and the count
// alone says how many copies to write. An empty input has all counts 0 and
// decodes to nothing.
//
// How far a file expands: with two byte values or more every code has at
// least one bit, so a file decodes to at most one byte per code bit, 8 per
// byte of its words (the counts must add up to totalBits exactly, which the
// reader checks before it decodes). A file of one value has no code bits to
// justify its length, so neither side takes more than kMaxBitlessBytes of one
// value: 8 bytes per byte of the 1032-byte header, as if it were code.
namespace {

constexpr std::size_t kHeaderBytes = 8 + 256 * 4;
constexpr std::uint64_t kMaxBitlessBytes = 8 * kHeaderBytes;

}  // namespace

Status HuffmanCoder::EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    ByteCounts counts;
    if (Status status = CountByteValues(in, counts); !status) return status;
    const HuffmanTree tree(counts);
    if (tree.SingleLeaf() && in.size() > kMaxBitlessBytes) {
        return Status::Error(ErrorKind::UnsupportedImage, std::to_string(in.size()) +
                             " copies of one byte value have no Huffman code; at most " +
                             std::to_string(kMaxBitlessBytes) + " are stored");
    }
    const std::uint64_t totalBits = tree.TotalBits(counts);
    if (totalBits > UINT32_MAX) {
        return Status::Error(ErrorKind::UnsupportedImage, "Huffman code of " + std::to_string(totalBits) + " bits is too long to store");
    }

    BitWriter writer;
    if (Status status = writer.InitEmpty(32, totalBits / 32 + 1); !status) return status;
    for (std::uint8_t byte : in) tree.AppendCode(byte, writer);
    const auto wordCount = static_cast<std::uint32_t>(writer.Words().size());

    out.clear();
    out.reserve(kHeaderBytes + 4 * std::size_t{wordCount});
    ByteWriter file(out);
    file.PutU32(wordCount);
    file.PutU32(static_cast<std::uint32_t>(totalBits));
    DebugLog("T %u tamanhocodigosaida %u\n", wordCount, static_cast<std::uint32_t>(totalBits));
    for (std::uint32_t count : counts) file.PutU32(count);
    for (std::uint32_t word : writer.Words()) file.PutU32(word);
    DebugLog("%u %u\n", wordCount, 4 * wordCount);
    return Status::Ok();
}

Status HuffmanCoder::DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    out.clear();
    if (in.size() < kHeaderBytes) return Status::Error(ErrorKind::DamagedFile, "Huffman file is shorter than its header");
    ByteReader file(in);
    std::uint32_t wordCount = 0;
    std::uint32_t totalBits = 0;
    ByteCounts counts;
    (void)file.GetU32(wordCount);
    (void)file.GetU32(totalBits);
    for (std::uint32_t& count : counts) (void)file.GetU32(count);

    if (file.Remaining() != 4 * std::uint64_t{wordCount}) {
        return Status::Error(ErrorKind::DamagedFile, "Huffman file announces " + std::to_string(wordCount) + " code words but holds " +
                             std::to_string(file.Remaining()) + " bytes of them");
    }
    if (wordCount != (std::uint64_t{totalBits} + 31) / 32) {
        return Status::Error(ErrorKind::DamagedFile, "Huffman file's word count does not match its bit count");
    }
    const std::uint64_t length = std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
    if (length > UINT32_MAX) return Status::Error(ErrorKind::DamagedFile, "Huffman file's counts exceed 2^32 bytes");
    const HuffmanTree tree(counts);
    if (tree.TotalBits(counts) != totalBits) {
        return Status::Error(ErrorKind::DamagedFile, "Huffman file's bit count does not match its counts");
    }

    if (tree.Empty()) return Status::Ok();
    if (tree.SingleLeaf()) {
        if (length > kMaxBitlessBytes) {
            return Status::Error(ErrorKind::DamagedFile, "Huffman file announces " + std::to_string(length) +
                                 " bytes of one value in no code bits, more than the " +
                                 std::to_string(kMaxBitlessBytes) + " such a file may hold");
        }
        out.assign(static_cast<std::size_t>(length), static_cast<std::uint8_t>(tree.At(tree.Root()).symbol));
        return Status::Ok();
    }
    std::vector<std::uint32_t> words(wordCount);
    for (std::uint32_t& word : words) (void)file.GetU32(word);
    if (Status status = HuffmanDecoder(tree).Decode(words, totalBits, length, out); !status) return status;
    if (out.size() != length) return Status::Error(ErrorKind::DamagedFile, "Huffman code bits hold fewer bytes than the counts announce");
    return Status::Ok();
}

}  // namespace pictora
