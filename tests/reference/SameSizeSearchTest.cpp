#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "reference/ReferenceCodecFactory.h"
#include "reference/SameSizeSearch.h"
#include "reference/TestPhoto.h"

namespace pictora {
namespace {

using testing::TestPhoto;

// A codec whose file for grid value k is sizes[k] bytes of k, so a test can
// lay out sizes that are not monotone in the knob.
class SizeTableCodec : public ReferenceCodec {
public:
    SizeTableCodec(std::vector<std::uint64_t> sizes, KnobSearchRule rule) : sizes_(std::move(sizes)), rule_(rule) {}

    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Jpeg; }
    KnobSearchRule SearchRule() const override { return rule_; }
    std::vector<double> KnobGrid() const override {
        std::vector<double> grid;
        for (std::size_t k = 0; k < sizes_.size(); ++k) grid.push_back(static_cast<double>(k));
        return grid;
    }
    Status Encode(const RgbImage&, double knob, std::vector<std::uint8_t>& bytes) const override {
        const auto k = static_cast<std::size_t>(knob);
        ++encodings;
        bytes.assign(sizes_[k], static_cast<std::uint8_t>(k));
        return Status::Ok();
    }
    Status Decode(std::span<const std::uint8_t>, RgbImage&) const override { return Status::Error(ErrorKind::InvalidSetting, "table"); }

    mutable std::size_t encodings = 0;

private:
    std::vector<std::uint64_t> sizes_;
    KnobSearchRule rule_;
};

FittedEncoding Search(const ReferenceCodec& codec, std::uint64_t target, const RgbImage& image = RgbImage()) {
    FittedEncoding result;
    const Status status = EncodeAtSize(codec, image, target, result);
    EXPECT_TRUE(status.ok()) << status.message();
    return result;
}

// Index 0 is the worst value; sizes grow towards the best except where noted.
const std::vector<std::uint64_t> kBumpySizes = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150,
                                                160, 170, 180, 190, 200, 210, 220, 230, 240, 250, 260, 270, 280,
                                                290, 300, 310, 320};

TEST(SameSizeSearchRule, FindsTheBestFittingValueWhenSizesAreMonotone) {
    SizeTableCodec codec(kBumpySizes, KnobSearchRule::BisectBoundary);
    for (std::uint64_t target = 10; target <= 330; target += 5) {
        const FittedEncoding result = Search(codec, target);
        ASSERT_TRUE(result.fits) << target;
        const auto expected = static_cast<double>(std::min<std::uint64_t>(target / 10 - 1, 31));
        EXPECT_EQ(result.knob, expected) << target;
        EXPECT_EQ(result.bytes, std::vector<std::uint8_t>(kBumpySizes[static_cast<std::size_t>(expected)],
                                                          static_cast<std::uint8_t>(expected)));
    }
}

TEST(SameSizeSearchRule, BisectionStaysFarBelowAWholeScan) {
    std::vector<std::uint64_t> sizes(250);
    for (std::size_t k = 0; k < sizes.size(); ++k) sizes[k] = 1000 + 4 * k;
    SizeTableCodec slow(sizes, KnobSearchRule::BisectBoundary);
    std::size_t lastTotal = 0;
    std::size_t calls = 0;
    FittedEncoding result;
    ASSERT_TRUE(EncodeAtSize(slow, RgbImage(), 1500, result, [&](std::size_t done, std::size_t total) {
                    EXPECT_LE(done, total);
                    ++calls;
                    lastTotal = total;
                }).ok());
    EXPECT_EQ(result.knob, 125);
    EXPECT_LE(slow.encodings, 2u + 8u + 5u);
    EXPECT_EQ(slow.encodings, result.trials.size());
    EXPECT_EQ(lastTotal, result.trials.size());
    EXPECT_EQ(calls, result.trials.size() + 1);
}

TEST(SameSizeSearchRule, AFittingValueJustPastTheBoundaryWins) {
    std::vector<std::uint64_t> sizes = kBumpySizes;
    // 0..9 fit a target of 100, 10 does not, 12 and 13 do again (a size dip
    // the bisection steps over: it visits 15, 7, 11, 9, 10).
    sizes[12] = 95;
    sizes[13] = 99;
    SizeTableCodec codec(sizes, KnobSearchRule::BisectBoundary);
    const FittedEncoding result = Search(codec, 100);
    ASSERT_TRUE(result.fits);
    EXPECT_EQ(result.knob, 13);
}

TEST(SameSizeSearchRule, TriesOnlyFiveValuesPastTheBoundary) {
    std::vector<std::uint64_t> sizes = kBumpySizes;
    sizes[14] = 100;  // fits, four values past the first too large one (10)
    sizes[16] = 100;  // fits, six values past it
    SizeTableCodec codec(sizes, KnobSearchRule::BisectBoundary);
    const FittedEncoding result = Search(codec, 100);
    ASSERT_TRUE(result.fits);
    std::set<double> tried;
    for (const KnobTrial& trial : result.trials) tried.insert(trial.knob);
    for (double knob : {10.0, 11.0, 12.0, 13.0, 14.0, 15.0}) EXPECT_TRUE(tried.count(knob)) << knob;
    EXPECT_FALSE(tried.count(16.0));
    EXPECT_EQ(result.knob, 14);

    // The whole-grid scan of the same sizes finds the isolated value.
    SizeTableCodec cheap(sizes, KnobSearchRule::WholeGrid);
    EXPECT_EQ(Search(cheap, 100).knob, 16);
    EXPECT_EQ(cheap.encodings, sizes.size());
}

TEST(SameSizeSearchRule, WorstTooLargeMeansNothingFitsAndBestFittingStopsAtOnce) {
    std::vector<std::uint64_t> sizes = kBumpySizes;
    sizes[0] = 500;
    SizeTableCodec worstTooLarge(sizes, KnobSearchRule::BisectBoundary);
    const FittedEncoding none = Search(worstTooLarge, 300);
    EXPECT_FALSE(none.fits);
    EXPECT_TRUE(none.bytes.empty());
    EXPECT_EQ(worstTooLarge.encodings, 1u);

    SizeTableCodec codec(kBumpySizes, KnobSearchRule::BisectBoundary);
    const FittedEncoding all = Search(codec, 320);
    EXPECT_TRUE(all.fits);
    EXPECT_EQ(all.knob, 31);
    EXPECT_EQ(codec.encodings, 2u);

    SizeTableCodec single({40}, KnobSearchRule::BisectBoundary);
    EXPECT_TRUE(Search(single, 40).fits);
    EXPECT_FALSE(Search(single, 39).fits);
}

// The real codecs on a small photo, against an encoding of every grid value.
class SameSizeSearchTest : public ::testing::TestWithParam<ReferenceCodecKind> {
protected:
    void SetUp() override {
        codec_ = MakeReferenceCodec(GetParam());
        grid_ = codec_->KnobGrid();
        sizes_ = ExhaustiveSizes(*codec_);
        ASSERT_EQ(sizes_.size(), grid_.size());
    }

    static const std::vector<std::uint64_t>& ExhaustiveSizes(const ReferenceCodec& codec) {
        static std::map<ReferenceCodecKind, std::vector<std::uint64_t>> scanned;
        std::vector<std::uint64_t>& sizes = scanned[codec.Kind()];
        if (sizes.empty()) {
            for (double knob : codec.KnobGrid()) {
                std::vector<std::uint8_t> bytes;
                EXPECT_TRUE(codec.Encode(Photo(), knob, bytes).ok());
                sizes.push_back(bytes.size());
            }
        }
        return sizes;
    }

    static const RgbImage& Photo() { return TestPhoto("photo64-c.png"); }

    std::size_t IndexOf(double knob) const {
        return static_cast<std::size_t>(std::find(grid_.begin(), grid_.end(), knob) - grid_.begin());
    }

    // Targets spread over the range of sizes, each exactly a file size and one below it.
    std::vector<std::uint64_t> Targets() const {
        std::vector<std::uint64_t> targets;
        for (std::size_t k = 0; k < grid_.size(); k += grid_.size() / 7) {
            targets.push_back(sizes_[k]);
            targets.push_back(sizes_[k] - 1);
        }
        targets.push_back(sizes_.back());
        return targets;
    }

    std::unique_ptr<ReferenceCodec> codec_;
    std::vector<double> grid_;
    std::vector<std::uint64_t> sizes_;
};

TEST_P(SameSizeSearchTest, ChoosesTheBestKnobTheRuleCanFindAndNeverExceedsTheTarget) {
    std::size_t monotoneCases = 0;
    for (std::uint64_t target : Targets()) {
        SCOPED_TRACE("target " + std::to_string(target));
        const FittedEncoding result = Search(*codec_, target, Photo());
        // The exhaustive best, and the end of the run of fitting values from the worst.
        std::ptrdiff_t best = -1;
        std::ptrdiff_t fittingRun = -1;
        for (std::size_t k = 0; k < sizes_.size(); ++k) {
            if (sizes_[k] > target) continue;
            best = static_cast<std::ptrdiff_t>(k);
            if (fittingRun == static_cast<std::ptrdiff_t>(k) - 1) fittingRun = static_cast<std::ptrdiff_t>(k);
        }
        for (const KnobTrial& trial : result.trials) EXPECT_EQ(trial.fileBytes, sizes_[IndexOf(trial.knob)]);
        if (codec_->SearchRule() == KnobSearchRule::WholeGrid) {
            EXPECT_EQ(result.trials.size(), grid_.size());
            ASSERT_EQ(result.fits, best >= 0);
            if (best >= 0) {
                EXPECT_EQ(result.knob, grid_[static_cast<std::size_t>(best)]);
            }
        } else if (fittingRun < 0) {
            EXPECT_FALSE(result.fits);
        } else {
            ASSERT_TRUE(result.fits);
            const auto chosen = static_cast<std::ptrdiff_t>(IndexOf(result.knob));
            // A boundary the bisection can stop at lies at or past the end of
            // the run from the worst, and nothing beats the exhaustive best.
            EXPECT_GE(chosen, fittingRun);
            EXPECT_LE(chosen, best);
            for (const KnobTrial& trial : result.trials) {
                if (IndexOf(trial.knob) > static_cast<std::size_t>(chosen)) {
                    EXPECT_GT(trial.fileBytes, target);
                }
            }
            if (fittingRun == best) {
                ++monotoneCases;
                EXPECT_EQ(chosen, best);
            }
        }
        if (result.fits) {
            EXPECT_LE(result.bytes.size(), target);
            std::vector<std::uint8_t> again;
            ASSERT_TRUE(codec_->Encode(Photo(), result.knob, again).ok());
            EXPECT_EQ(result.bytes, again);
        } else {
            EXPECT_TRUE(result.bytes.empty());
        }
    }
    if (codec_->SearchRule() == KnobSearchRule::BisectBoundary) {
        EXPECT_GT(monotoneCases, 0u);
    }
}

TEST_P(SameSizeSearchTest, TargetBelowTheSmallestFileFitsNothing) {
    const std::uint64_t smallest = *std::min_element(sizes_.begin(), sizes_.end());
    const FittedEncoding result = Search(*codec_, smallest - 1, Photo());
    EXPECT_FALSE(result.fits);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_FALSE(result.trials.empty());
}

INSTANTIATE_TEST_SUITE_P(AllCodecs, SameSizeSearchTest, ::testing::ValuesIn(kAllReferenceCodecKinds),
                         [](const auto& info) { return std::string(MakeReferenceCodec(info.param)->Name()); });

}  // namespace
}  // namespace pictora
