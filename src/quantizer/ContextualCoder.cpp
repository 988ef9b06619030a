#include "quantizer/ContextualCoder.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "entropy/BinaryRangeCoder.h"
#include "quantizer/CodedImageLayout.h"
#include "quantizer/ContextualModel.h"
#include "support/ByteStream.h"

namespace pictora {

// The contextual coded image (.mqz), integers little-endian, no alignment:
//
//   offset  size  field
//   0       4     signature: 0x89 'M' 'Q' 'Z'
//   4       1     version: 1
//   5       4     CRC-32 (that of zlib and PNG) of the coded image the file
//                 decodes to
//   9       4     channel 0's first word: the columns of its plane (1 to
//                 65535) in the low 24 bits, the colour-space code on top
//   13      4     channel 0's rows (1 to 65535)
//   17      27    for channels 0, 1, 2 in turn:
//                   u32 d, pixels per block (n * n)
//                   u32 K, neurons (at least 1 in channel 0)
//                   u8  flags: bit 0, the index entries after the full
//                       blocks are coded (set only when one is not 0); bit 1, a u32 of
//                       the bits beyond N in the index block's last word
//                       follows (else they are 0); bit 2, channels 1 and 2
//                       only, a u8 with the top byte of the section's first
//                       word follows (else it is 0); the other bits 0
//   44      ...   for channels 0, 1, 2 in turn, what their flags announce:
//                 the u8 top byte, then the u32 spare bits (above the used
//                 bits of the last word, not 0)
//   ...     ...   the stream (BinaryRangeCoder.cpp) to the end of the file:
//                 the three channels coded by ContextualImageModel
//
// The planes of channels 1 and 2 are channel 0's, halved (rounded down) in
// both directions when the colour-space code is 2 (YCbCr 4:2:0): a coded
// image allows no other. The head must describe a coded image the
// coded-image reader accepts. Every full block costs the stream at least one
// coded bit, every codebook pixel too, and every coded entry after the full
// blocks a whole bit, so a stream of B bytes holds at most
// BinaryRangeEncoder::kMaxBitsPerByte * B of them: a head that claims more
// is refused before anything is allocated, and what is allocated (codebooks,
// entries, fewer than 4 per full block) follows from what is claimed. The
// stream must end exactly at the file's end, and the coded image it gives
// must have the stored CRC.
namespace {

constexpr std::array<std::uint8_t, 4> kSignature = {0x89, 'M', 'Q', 'Z'};
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kFixedHeadBytes = 44;
constexpr std::uint8_t kTailCoded = 1;
constexpr std::uint8_t kSpareBits = 2;
constexpr std::uint8_t kTopByte = 4;

struct ContextualHead {
    std::uint32_t crc = 0;
    std::array<CodedSectionHeader, 3> sections;
    std::array<std::uint8_t, 3> flags{};
    std::array<std::uint32_t, 3> spareBits{};
};

Status Damaged(const std::string& fault) {
    return Status::Error(ErrorKind::DamagedFile, "damaged contextual coded image: " + fault);
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        crc = crc32(crc, bytes.data() + done, static_cast<uInt>(chunk));
        done += chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

// Bits of the index block's last word that hold entries (0: it is full).
std::uint32_t UsedBitsOfLastWord(const CodedSectionHeader& header) {
    return static_cast<std::uint32_t>(header.Width() * header.Entries() % 32);
}

void WriteHead(const ContextualHead& head, ByteWriter& out) {
    out.PutBytes(kSignature);
    out.PutU8(kVersion);
    out.PutU32(head.crc);
    const CodedSectionHeader& first = head.sections[0];
    out.PutU32(first.columns | static_cast<std::uint32_t>(first.colourCode) << 24);
    out.PutU32(first.rows);
    for (int c = 0; c < 3; ++c) {
        out.PutU32(head.sections[c].dimension);
        out.PutU32(head.sections[c].neuronCount);
        out.PutU8(head.flags[c]);
    }
    for (int c = 0; c < 3; ++c) {
        if (head.flags[c] & kTopByte) out.PutU8(head.sections[c].colourCode);
        if (head.flags[c] & kSpareBits) out.PutU32(head.spareBits[c]);
    }
}

// The fewest stream bits the head's channels can cost.
std::uint64_t FewestCodedBits(const ContextualHead& head) {
    std::uint64_t bits = 0;
    for (int c = 0; c < 3; ++c) {
        const CodedSectionHeader& section = head.sections[c];
        bits += static_cast<std::uint64_t>(section.neuronCount) * section.dimension + section.FullBlocks();
        if (head.flags[c] & kTailCoded) bits += section.Entries() - section.FullBlocks();
    }
    return bits;
}

Status ReadHead(ByteReader& in, ContextualHead& head) {
    std::span<const std::uint8_t> signature;
    std::uint8_t version = 0;
    if (!in.GetBytes(kSignature.size(), signature) || !std::equal(signature.begin(), signature.end(), kSignature.begin()))
        return Status::Error(ErrorKind::DamagedFile, "not a contextual coded image (no .mqz signature)");
    if (!in.GetU8(version) || in.Remaining() < kFixedHeadBytes - 5) return Damaged("it ends inside its head");
    if (version != kVersion)
        return Status::Error(ErrorKind::DamagedFile,
                             "contextual coded image of version " + std::to_string(version) + ", not 1");
    ContextualHead read;
    std::uint32_t firstWord = 0;
    (void)in.GetU32(read.crc);
    (void)in.GetU32(firstWord);
    std::array<CodedSectionHeader, 3>& sections = read.sections;
    sections[0].columns = firstWord & 0x00FFFFFFu;
    sections[0].colourCode = static_cast<std::uint8_t>(firstWord >> 24);
    (void)in.GetU32(sections[0].rows);
    for (int c = 0; c < 3; ++c) {
        (void)in.GetU32(sections[c].dimension);
        (void)in.GetU32(sections[c].neuronCount);
        (void)in.GetU8(read.flags[c]);
        const std::uint8_t allowed = kTailCoded | kSpareBits | (c > 0 ? kTopByte : 0);
        if ((read.flags[c] & ~allowed) != 0)
            return Damaged("channel " + std::to_string(c) + " has flags " + std::to_string(read.flags[c]));
    }
    const bool halfChroma = sections[0].colourCode == kHalfChromaColourCode;
    for (int c = 1; c < 3; ++c) {
        sections[c].rows = halfChroma ? sections[0].rows / 2 : sections[0].rows;
        sections[c].columns = halfChroma ? sections[0].columns / 2 : sections[0].columns;
    }
    for (int c = 0; c < 3; ++c) {
        const std::string channel = "channel " + std::to_string(c);
        if ((read.flags[c] & kTopByte) && (!in.GetU8(sections[c].colourCode) || sections[c].colourCode == 0))
            return Damaged(channel + ": no top byte where its flags announce one");
        if (read.flags[c] & kSpareBits) {
            const std::uint32_t used = UsedBitsOfLastWord(sections[c]);
            if (!in.GetU32(read.spareBits[c]) || read.spareBits[c] == 0 || used == 0 ||
                (read.spareBits[c] >> (32 - used)) != 0)
                return Damaged(channel + ": spare bits that its index block cannot hold");
        }
    }
    if (Status checked = CheckCodedImageHeads(sections); !checked) return Damaged(checked.message());
    for (int c = 0; c < 3; ++c)
        if ((read.flags[c] & kTailCoded) &&
            (sections[c].neuronCount == 0 || sections[c].Entries() == sections[c].FullBlocks()))
            return Damaged("channel " + std::to_string(c) + " has no index entries after its full blocks");
    if (FewestCodedBits(read) > BinaryRangeEncoder::kMaxBitsPerByte * in.Remaining())
        return Damaged("its " + std::to_string(in.Remaining()) + " bytes of code cannot hold the coded image its head describes");
    head = read;
    return Status::Ok();
}

// A decoder that also adds up what each part's bits cost: -log2 of the
// probability each decoded bit had.
class MeasuringDecoder {
public:
    explicit MeasuringDecoder(BinaryRangeDecoder& decoder) : decoder_(decoder) {}

    std::uint32_t Code(AdaptiveBit& context, std::uint32_t unused) {
        const double one = context.One12() / 4096.0;
        const std::uint32_t bit = decoder_.Code(context, unused);
        *bits_ -= std::log2(bit != 0 ? one : 1.0 - one);
        return bit;
    }
    std::uint32_t CodeEven(std::uint32_t unused, unsigned count) {
        *bits_ += count;
        return decoder_.CodeEven(unused, count);
    }
    bool Overrun() const { return decoder_.Overrun(); }
    void SetChannel(int channel) { channel_ = channel; }
    void SetPart(ContextualPart part) {
        bits_ = part == ContextualPart::Indices    ? &parts_.indexBytes[channel_]
                : part == ContextualPart::Codebook ? &parts_.codebookBytes[channel_]
                                                   : &parts_.restBytes[channel_];
    }
    // The costs, from bits to bytes.
    ContextualParts Parts() const {
        ContextualParts parts = parts_;
        for (int c = 0; c < 3; ++c) {
            parts.indexBytes[c] /= 8;
            parts.codebookBytes[c] /= 8;
            parts.restBytes[c] /= 8;
        }
        return parts;
    }

private:
    BinaryRangeDecoder& decoder_;
    ContextualParts parts_;
    int channel_ = 0;
    double* bits_ = &parts_.restBytes[0];
};

// Whether any entry after the full blocks is not 0: only then are they coded.
bool HasTail(const ContextualChannel& channel) {
    return std::any_of(channel.entries.begin() + static_cast<std::ptrdiff_t>(channel.header.FullBlocks()),
                       channel.entries.end(), [](std::uint32_t entry) { return entry != 0; });
}

template <class Decoder>
Status DecodeStream(const ContextualHead& head, Decoder& decoder, std::vector<std::uint8_t>& out) {
    std::array<ContextualChannel, 3> channels;
    ContextualImageModel<Decoder> model(decoder);
    for (int c = 0; c < 3; ++c) {
        ContextualChannel& channel = channels[c];
        channel.header = head.sections[c];
        channel.codebook.resize(static_cast<std::size_t>(channel.header.neuronCount) * channel.header.dimension);
        channel.entries.resize(channel.header.neuronCount == 0 ? 0 : channel.header.Entries());
        channel.tailCoded = (head.flags[c] & kTailCoded) != 0;
        if constexpr (requires { decoder.SetChannel(c); }) decoder.SetChannel(c);
        if (!model.CodeChannel(channel, c > 0 ? &channels[c - 1] : nullptr))
            return Damaged(decoder.Overrun() ? "its stream ends before channel " + std::to_string(c) + " does"
                                             : "channel " + std::to_string(c) + " refers to a neuron it lacks");
        if (channel.tailCoded && !HasTail(channel))
            return Damaged("channel " + std::to_string(c) + " codes entries after its full blocks that are all 0");
    }
    CodedImageLayout layout;
    for (int c = 0; c < 3; ++c) {
        CodedSectionLayout& section = layout.sections[c];
        section.header = channels[c].header;
        section.codebook = channels[c].codebook;
        section.entries = std::move(channels[c].entries);
        section.spareBits = head.spareBits[c];
    }
    std::vector<std::uint8_t> coded;
    if (Status written = WriteCodedImageLayout(layout, coded); !written) return Damaged(written.message());
    if (Crc32(coded) != head.crc) return Damaged("the coded image it gives fails its CRC");
    out = std::move(coded);
    return Status::Ok();
}

template <class Measure>
Status DecodeHeadAndStream(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out, Measure measure) {
    ByteReader reader(in);
    ContextualHead head;
    if (Status read = ReadHead(reader, head); !read) return read;
    BinaryRangeDecoder decoder;
    if (!decoder.Start(in.subspan(reader.Position()))) return Damaged("its stream does not start as one");
    Status decoded = measure(head, decoder, out);
    if (decoded && !decoder.Finished()) return Damaged("its stream does not end where the file ends");
    return decoded;
}

}  // namespace

Status ContextualCoder::EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    CodedImageLayout layout;
    if (Status read = ReadCodedImageLayout(in, layout); !read)
        return read.Prefixed("the contextual stage codes only coded images");
    ContextualHead head;
    head.crc = Crc32(in);
    std::array<ContextualChannel, 3> channels;
    for (int c = 0; c < 3; ++c) {
        CodedSectionLayout& section = layout.sections[c];
        ContextualChannel& channel = channels[c];
        channel.header = section.header;
        channel.codebook.assign(section.codebook.begin(), section.codebook.end());
        channel.entries = std::move(section.entries);
        channel.tailCoded = HasTail(channel);
        head.sections[c] = section.header;
        head.spareBits[c] = section.spareBits;
        head.flags[c] = static_cast<std::uint8_t>((channel.tailCoded ? kTailCoded : 0) |
                                                  (section.spareBits != 0 ? kSpareBits : 0) |
                                                  (c > 0 && section.header.colourCode != 0 ? kTopByte : 0));
    }
    std::vector<std::uint8_t> coded;
    ByteWriter writer(coded);
    WriteHead(head, writer);
    BinaryRangeEncoder encoder(coded);
    ContextualImageModel<BinaryRangeEncoder> model(encoder);
    for (int c = 0; c < 3; ++c) (void)model.CodeChannel(channels[c], c > 0 ? &channels[c - 1] : nullptr);
    encoder.Finish();
    out = std::move(coded);
    return Status::Ok();
}

Status ContextualCoder::DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    return DecodeHeadAndStream(in, out, [](const ContextualHead& head, BinaryRangeDecoder& decoder, std::vector<std::uint8_t>& coded) {
        return DecodeStream(head, decoder, coded);
    });
}

Status MeasureContextualParts(std::span<const std::uint8_t> in, ContextualParts& parts) {
    std::vector<std::uint8_t> coded;
    ContextualParts measured;
    Status status = DecodeHeadAndStream(in, coded, [&](const ContextualHead& head, BinaryRangeDecoder& decoder,
                                          std::vector<std::uint8_t>& out) {
        MeasuringDecoder measuring(decoder);
        Status decoded = DecodeStream(head, measuring, out);
        measured = measuring.Parts();
        return decoded;
    });
    if (!status) return status;
    ByteReader reader(in);
    ContextualHead head;
    (void)ReadHead(reader, head);
    measured.headBytes = reader.Position();
    parts = measured;
    return Status::Ok();
}

}  // namespace pictora
