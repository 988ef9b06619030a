// Throughput of the two lossless coders on 10 MB shaped like a coded image:
// a few u32 header fields, neuron pixels clustered around mid-grey, and
// packed block indices in which low neuron numbers dominate.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"

namespace {

const std::vector<std::uint8_t>& CodedImageLikeBytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        constexpr std::size_t kSize = 10 * 1000 * 1000;
        std::mt19937 random(2024);
        std::normal_distribution<double> pixel(128.0, 24.0);
        std::geometric_distribution<int> index(0.12);
        std::vector<std::uint8_t> data;
        data.reserve(kSize);
        while (data.size() < kSize) {
            for (int i = 0; i < 16; ++i) data.push_back(static_cast<std::uint8_t>(random()));
            for (int i = 0; i < 4096 && data.size() < kSize; ++i) {
                data.push_back(static_cast<std::uint8_t>(std::clamp(pixel(random), 0.0, 255.0)));
            }
            for (int i = 0; i < 60000 && data.size() < kSize; ++i) {
                data.push_back(static_cast<std::uint8_t>(index(random) % 256));
            }
        }
        data.resize(kSize);
        return data;
    }();
    return bytes;
}

void BM_Encode(benchmark::State& state) {
    const auto mode = static_cast<pictora::LosslessMode>(state.range(0));
    const auto& input = CodedImageLikeBytes();
    std::vector<std::uint8_t> coded;
    for (auto _ : state) {
        if (!pictora::EncodeBytesWith(mode, input, coded)) state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(coded.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
    state.counters["ratio"] = static_cast<double>(coded.size()) / static_cast<double>(input.size());
}

void BM_Decode(benchmark::State& state) {
    const auto mode = static_cast<pictora::LosslessMode>(state.range(0));
    const auto& input = CodedImageLikeBytes();
    std::vector<std::uint8_t> coded;
    std::vector<std::uint8_t> decoded;
    if (!pictora::EncodeBytesWith(mode, input, coded)) state.SkipWithError("encoding failed");
    for (auto _ : state) {
        if (!pictora::DecodeBytesWith(mode, coded, decoded)) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(decoded.data());
    }
    if (decoded != input) state.SkipWithError("decoded bytes differ");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

}  // namespace

BENCHMARK(BM_Encode)->Arg(static_cast<std::int64_t>(pictora::LosslessMode::Huffman))->Arg(static_cast<std::int64_t>(pictora::LosslessMode::Arithmetic))->Arg(static_cast<std::int64_t>(pictora::LosslessMode::Contextual))->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(static_cast<std::int64_t>(pictora::LosslessMode::Huffman))->Arg(static_cast<std::int64_t>(pictora::LosslessMode::Arithmetic))->Arg(static_cast<std::int64_t>(pictora::LosslessMode::Contextual))->Unit(benchmark::kMillisecond);
