#include "entropy/ArithmeticCoder.h"

#include <cmath>
#include <string>

#include "entropy/ArithmeticModel.h"
#include "entropy/BitReader.h"
#include "entropy/BitWriter.h"
#include "entropy/ByteHistogram.h"
#include "entropy/DecodedOutput.h"
#include "support/ByteStream.h"
#include "support/DebugLog.h"

namespace pictora {

// The .art file, integers u32 little-endian, no alignment:
//
//   offset 0     total        number of input bytes, the sum of the counts
//   offset 4     P            precision in bits (see ArithmeticModel.h)
//   offset 8     inputLength  number of bytes to decode, equal to total
//   offset 12    cumulative   256 × u32: cumulative[k], the number of input
//                             bytes whose value is below k
//   offset 1036  code bits    a bit-stream block of width 32 (layout in
//                             BitReader.cpp) holding the code bits in the
//                             order they were produced.
//
// An empty input has total 0 and so P = 3; it is coded as the two
// terminating bits 0, 1 and decodes to nothing.
//
// How far a file expands: to total bytes, at most ArithmeticModel::kMaxTotal,
// and only when its code bits can carry them (LeastCodeBits). A file of one
// byte value needs no bits, so a header can stand for a gigabyte; the
// decoder grows its output only as it decodes (DecodedOutput.h).
namespace {

constexpr std::size_t kHeaderBytes = 12 + 256 * 4;

// The fewest code bits an input with exactly the model's counts can take.
// Before each byte the encoder's interval is wider than a quarter of the full
// range, 2^(P-2) > total + 1, and coding byte value s keeps at most
// width * c_s / total + 1 < width * (c_s + 1) / total of it. So after the whole
// input the interval, in the scale of the first one, is narrower than
// 2^P * prod (c_s + 1) / total over the bytes, and wider than 2^(P-2) / 2^steps,
// where steps is the number of renormalisations; the file holds steps + 2
// bits, more than sum over the byte values of c_s * log2(total / (c_s + 1)).
double LeastCodeBits(const ArithmeticModel& model) {
    const double total = model.Total();
    double bits = 0.0;
    for (unsigned symbol = 0; symbol < 256; ++symbol) {
        const double count = model.Cumulative(symbol + 1) - model.Cumulative(symbol);
        if (count > 0) bits += count * std::log2(total / (count + 1));
    }
    return bits;
}

// Whether `bytes` hold each byte value as often as the model counts it.
bool MatchesCounts(std::span<const std::uint8_t> bytes, const ArithmeticModel& model) {
    ByteCounts counts;
    if (!CountByteValues(bytes, counts)) return false;
    for (unsigned symbol = 0; symbol < 256; ++symbol)
        if (counts[symbol] != model.Cumulative(symbol + 1) - model.Cumulative(symbol)) return false;
    return true;
}

// The full range 2^P and the renormalisation steps on it. Each step doubles
// an interval [lo, hi] about a fixed point: lo' = 2 lo − offset,
// hi' = 2 hi − offset + 1.
class Range {
public:
    enum class Step { None, Upper, Lower, Middle };

    explicit Range(std::uint32_t precision)
        : full_(std::int64_t{1} << precision), half_(full_ / 2), quarter_(full_ / 4),
          threeQuarters_(3 * full_ / 4) {}

    std::int64_t Full() const { return full_; }
    std::int64_t Quarter() const { return quarter_; }

    // The renormalisation step [low, high] needs next, in order of precedence.
    Step NextStep(std::int64_t low, std::int64_t high) const {
        if (low >= half_) return Step::Upper;
        if (high < half_) return Step::Lower;
        if (low >= quarter_ && high < threeQuarters_) return Step::Middle;
        return Step::None;
    }

    void Apply(Step step, std::int64_t& lo, std::int64_t& hi) const {
        const std::int64_t offset = step == Step::Upper ? full_ : step == Step::Middle ? half_ : 0;
        lo = 2 * lo - offset;
        hi = 2 * hi - offset + 1;
    }

private:
    std::int64_t full_;
    std::int64_t half_;
    std::int64_t quarter_;
    std::int64_t threeQuarters_;
};

// Appends code bits, holding back the bits of middle steps until the next
// decided bit says which way they went.
class BitEmitter {
public:
    explicit BitEmitter(BitWriter& writer) : writer_(writer) {}

    void Defer() { ++pending_; }
    void Emit(std::uint32_t bit) {
        writer_.PutBit(bit);
        for (; pending_ > 0; --pending_) writer_.PutBit(1 - bit);
    }

private:
    BitWriter& writer_;
    std::uint64_t pending_ = 0;
};

}  // namespace

Status ArithmeticCoder::EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    ByteCounts counts;
    if (Status status = CountByteValues(in, counts); !status) return status;
    ArithmeticModel model;
    if (Status status = model.FromCounts(counts); !status) return status;
    const Range range(model.Precision());

    out.clear();
    ByteWriter file(out);
    file.PutU32(model.Total());
    file.PutU32(model.Precision());
    file.PutU32(static_cast<std::uint32_t>(in.size()));
    for (unsigned symbol = 0; symbol < 256; ++symbol) file.PutU32(model.Cumulative(symbol));

    // Room for eight bits per byte; a static model rarely needs more, and the
    // writer grows when it does.
    BitWriter writer;
    if (Status status = writer.InitEmpty(32, in.size() / 4 + 1); !status) return status;
    BitEmitter emitter(writer);
    DebugLog("\nR = %u\n", static_cast<std::uint32_t>(range.Full()));
    std::int64_t low = 0;
    std::int64_t high = range.Full() - 1;
    for (std::uint8_t symbol : in) {
        const std::int64_t width = high - low + 1;
        high = model.ShareStart(symbol + 1u, low, width) - 1;
        low = model.ShareStart(symbol, low, width);
        for (Range::Step step; (step = range.NextStep(low, high)) != Range::Step::None;) {
            if (step == Range::Step::Middle) {
                emitter.Defer();
            } else {
                emitter.Emit(step == Range::Step::Upper ? 1 : 0);
            }
            range.Apply(step, low, high);
        }
    }
    // One more pending bit, then the first bit of the quarter inside [low, high]:
    // every continuation of these bits lies in the final interval.
    emitter.Defer();
    emitter.Emit(low >= range.Quarter() ? 1 : 0);
    return writer.WriteTo(file);
}

Status ArithmeticCoder::DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
    out.clear();
    if (in.size() < kHeaderBytes) return Status::Error(ErrorKind::DamagedFile, "arithmetic-coded file is shorter than its header");
    ByteReader file(in);
    std::uint32_t total = 0;
    std::uint32_t precision = 0;
    std::uint32_t inputLength = 0;
    ArithmeticModel::Table cumulative;
    (void)file.GetU32(total);
    (void)file.GetU32(precision);
    (void)file.GetU32(inputLength);
    for (std::uint32_t& entry : cumulative) (void)file.GetU32(entry);

    ArithmeticModel model;
    if (Status status = model.FromTable(total, cumulative); !status) return status;
    if (inputLength != total) return Status::Error(ErrorKind::DamagedFile, "arithmetic-coded file's length differs from its count total");
    if (precision != model.Precision()) {
        return Status::Error(ErrorKind::DamagedFile, "arithmetic-coded file's precision " + std::to_string(precision) +
                             " does not fit its count total");
    }
    BitReader reader;
    std::vector<std::uint32_t> words;
    if (Status status = reader.LoadFrom(file, words); !status) return status;
    if (reader.Width() != 32) return Status::Error(ErrorKind::DamagedFile, "arithmetic code bits are not stored in 32-bit words");
    if (file.Remaining() != 0) return Status::Error(ErrorKind::DamagedFile, "arithmetic-coded file has bytes after its code bits");
    // Refused before a byte is decoded: the code bits are too few for the
    // counts (a second bit of margin covers the rounding of the logarithms).
    const double leastBits = LeastCodeBits(model);
    if (static_cast<double>(reader.TotalBits()) + 1.0 <= leastBits) {
        return Status::Error(ErrorKind::DamagedFile, "arithmetic-coded file's " + std::to_string(reader.TotalBits()) +
                             " code bits cannot hold the " + std::to_string(total) + " bytes its counts announce");
    }

    const Range range(precision);
    DebugLog("R %u\n", static_cast<std::uint32_t>(range.Full()));
    // [u, v]: the code values still consistent with the bits read so far.
    std::int64_t low = 0;
    std::int64_t high = range.Full() - 1;
    std::int64_t u = 0;
    std::int64_t v = range.Full() - 1;
    while (out.size() < inputLength) {
        // The shares stay fixed until a symbol is decoded. The only share that
        // can contain [u, v] is the one holding u; while v lies beyond it, a
        // code bit halves [u, v].
        const std::int64_t width = high - low + 1;
        unsigned symbol = model.SymbolAt(low, width, u);
        std::int64_t shareEnd = model.ShareStart(symbol + 1, low, width) - 1;
        while (v > shareEnd) {
            const std::uint32_t bit = reader.GetBit();
            if (reader.Overrun()) return Status::Error(ErrorKind::DamagedFile, "arithmetic code bits end before the last byte");
            const std::int64_t half = (v - u + 1) / 2;
            u += bit * half;
            v = u + half - 1;
            if (u > shareEnd) {
                symbol = model.SymbolAt(low, width, u);
                shareEnd = model.ShareStart(symbol + 1, low, width) - 1;
            }
        }
        if (out.size() == out.capacity()) GrowDecodedOutput(out, inputLength);
        out.push_back(static_cast<std::uint8_t>(symbol));
        low = model.ShareStart(symbol, low, width);
        high = shareEnd;
        for (Range::Step step; (step = range.NextStep(low, high)) != Range::Step::None;) {
            range.Apply(step, low, high);
            range.Apply(step, u, v);
        }
    }
    if (!MatchesCounts(out, model)) {
        return Status::Error(ErrorKind::DamagedFile, "arithmetic code bits decode to other byte counts than the file announces");
    }
    return Status::Ok();
}

}  // namespace pictora
