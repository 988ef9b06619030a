#include "image/PngRowKernels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "common/HighwayTargets.h"
#include "image/ScalarPngRowKernels.h"

namespace pictora {
namespace {

using testing::ForEachTarget;
using Bytes = std::vector<std::uint8_t>;

constexpr PngFilter kFilters[] = {PngFilter::None, PngFilter::Sub, PngFilter::Up, PngFilter::Average, PngFilter::Paeth};

// Rows of random bytes drawn from the whole range, or from a few values near
// the ends and the middle, where the Paeth distances tie and sums overflow a
// byte.
Bytes RandomRow(std::mt19937& random, std::size_t bytes, bool fewValues) {
    static constexpr std::uint8_t kEdges[] = {0, 1, 2, 126, 127, 128, 129, 253, 254, 255};
    Bytes row(bytes + kPngRowSlack);
    for (std::uint8_t& byte : row)
        byte = fewValues ? kEdges[random() % std::size(kEdges)] : static_cast<std::uint8_t>(random());
    return row;
}

TEST(PngRowKernels, PaethPredictsTheNearestOfLeftAboveAndAboveLeft) {
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 10, 20, 10), 20);  // a + b - c = 20 = b
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 20, 10, 10), 20);  // = a
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 10, 20, 30), 10);  // 0: a nearest
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 30, 20, 10), 30);  // 40: a nearest
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 30, 30, 20), 30);  // 40: a and b tie, a first
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 25, 10, 20), 10);  // 15: b and c tie, b first
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 20, 30, 25), 25);  // 25: c exact
    EXPECT_EQ(PngPrediction(PngFilter::Paeth, 0, 255, 128), 128);  // 127: c nearest
    EXPECT_EQ(PngPrediction(PngFilter::Average, 255, 254, 0), 254);
}

// Every kernel gives its scalar version's bytes on every instruction set,
// for every filter and pixel size, on rows of lengths around the vectors'
// and with bytes that make the predictions tie.
TEST(PngRowKernels, VectorKernelsGiveTheScalarBytes) {
    std::mt19937 random(26);
    ForEachTarget([&] {
        for (std::size_t stride : {1u, 2u, 3u, 4u, 6u, 8u, 9u}) {
            for (std::size_t pixels : {1u, 2u, 5u, 11u, 16u, 33u, 100u, 257u}) {
                const std::size_t bytes = stride * pixels;
                for (bool fewValues : {false, true}) {
                    SCOPED_TRACE(::testing::Message() << "stride " << stride << ", " << bytes << " bytes");
                    const Bytes row = RandomRow(random, bytes, fewValues);
                    const Bytes above = RandomRow(random, bytes, fewValues);
                    std::uint64_t costs[kPngFilterCount];
                    std::uint64_t scalarCosts[kPngFilterCount] = {};
                    FilterCosts(row.data(), above.data(), bytes, stride, costs);
                    ScalarFilterCosts(row.data(), above.data(), stride, 0, bytes, scalarCosts);
                    EXPECT_TRUE(std::equal(costs, costs + kPngFilterCount, scalarCosts));
                    for (PngFilter filter : kFilters) {
                        SCOPED_TRACE(static_cast<int>(filter));
                        Bytes filtered(bytes + kPngRowSlack), scalarFiltered(bytes + kPngRowSlack);
                        FilterRow(filter, row.data(), above.data(), bytes, stride, filtered.data());
                        ScalarFilterRow(filter, row.data(), above.data(), stride, 0, bytes, scalarFiltered.data());
                        ASSERT_EQ(filtered, scalarFiltered);

                        // Filtered bytes unfilter to the row; any bytes unfilter
                        // as the scalar code does.
                        Bytes unfiltered(bytes + kPngRowSlack);
                        UnfilterRow(filter, filtered.data(), above.data(), bytes, stride, unfiltered.data());
                        ASSERT_TRUE(std::equal(row.begin(), row.begin() + bytes, unfiltered.begin()));
                        Bytes fromAny(bytes + kPngRowSlack), scalarFromAny(bytes + kPngRowSlack);
                        UnfilterRow(filter, row.data(), above.data(), bytes, stride, fromAny.data());
                        ScalarUnfilterRow(filter, row.data(), above.data(), stride, 0, bytes, scalarFromAny.data());
                        ASSERT_TRUE(std::equal(fromAny.begin(), fromAny.begin() + bytes, scalarFromAny.begin()));
                    }
                }
            }
        }
    });
}

TEST(PngRowKernels, SplittingAndJoiningGiveTheScalarBytes) {
    std::mt19937 random(3);
    ForEachTarget([&] {
        for (std::size_t columns : {1u, 7u, 16u, 31u, 64u, 100u, 129u}) {
            SCOPED_TRACE(columns);
            for (std::size_t sampleBytes : {1u, 2u}) {
                const Bytes row = RandomRow(random, 3 * sampleBytes * columns, false);
                Bytes planes(3 * columns), scalarPlanes(3 * columns);
                SplitRgb(row.data(), sampleBytes, columns, planes.data(), planes.data() + columns,
                         planes.data() + 2 * columns);
                ScalarSplitRgb(row.data(), sampleBytes, 0, columns, scalarPlanes.data(), scalarPlanes.data() + columns,
                               scalarPlanes.data() + 2 * columns);
                ASSERT_EQ(planes, scalarPlanes);
                EXPECT_EQ(planes[columns - 1], row[3 * sampleBytes * (columns - 1)]);  // the high byte
            }
            const Bytes planes = RandomRow(random, 3 * columns, false);
            Bytes joined(3 * columns), scalarJoined(3 * columns);
            JoinRgb(planes.data(), planes.data() + columns, planes.data() + 2 * columns, columns, joined.data());
            ScalarJoinRgb(planes.data(), planes.data() + columns, planes.data() + 2 * columns, 0, columns,
                          scalarJoined.data());
            ASSERT_EQ(joined, scalarJoined);
            EXPECT_EQ(joined[3 * columns - 2], planes[2 * columns - 1]);  // the last green
        }
    });
}

}  // namespace
}  // namespace pictora
