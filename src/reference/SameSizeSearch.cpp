#include "reference/SameSizeSearch.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace pictora {
namespace {

// Grid values tried past the bisection boundary, on its better side.
constexpr std::size_t kValuesPastBoundary = 5;

enum class TrialOutcome { Untried, Fits, TooLarge };

// The encodings of one search: each grid value is encoded at most once, and
// only the file of the best fitting value so far is kept.
class GridTrials {
public:
    GridTrials(const ReferenceCodec& codec, const RgbImage& image, std::uint64_t targetBytes,
               const EncodingProgress& progress, std::size_t estimatedTotal)
        : codec_(codec), image_(image), targetBytes_(targetBytes), grid_(codec.KnobGrid()),
          outcomes_(grid_.size(), TrialOutcome::Untried), progress_(progress), estimatedTotal_(estimatedTotal) {}

    std::size_t GridSize() const { return grid_.size(); }

    Status Try(std::size_t index, bool& fits) {
        if (outcomes_[index] == TrialOutcome::Untried) {
            std::vector<std::uint8_t> bytes;
            if (Status status = codec_.Encode(image_, grid_[index], bytes); !status) return status;
            const bool within = bytes.size() <= targetBytes_;
            outcomes_[index] = within ? TrialOutcome::Fits : TrialOutcome::TooLarge;
            trials_.push_back({grid_[index], bytes.size()});
            if (within && (!best_ || index > *best_)) {
                best_ = index;
                bestBytes_ = std::move(bytes);
            }
            if (progress_) progress_(trials_.size(), std::max(estimatedTotal_, trials_.size()));
        }
        fits = outcomes_[index] == TrialOutcome::Fits;
        return Status::Ok();
    }

    void Finish(FittedEncoding& result) {
        if (progress_) progress_(trials_.size(), trials_.size());
        result.fits = best_.has_value();
        result.knob = best_ ? grid_[*best_] : 0;
        result.bytes = std::move(bestBytes_);
        result.trials = std::move(trials_);
    }

private:
    const ReferenceCodec& codec_;
    const RgbImage& image_;
    std::uint64_t targetBytes_;
    std::vector<double> grid_;
    std::vector<TrialOutcome> outcomes_;
    const EncodingProgress& progress_;
    std::size_t estimatedTotal_;
    std::vector<KnobTrial> trials_;
    std::optional<std::size_t> best_;
    std::vector<std::uint8_t> bestBytes_;
};

std::size_t BisectionSteps(std::size_t span) {
    std::size_t steps = 0;
    while (span > 1) {
        span = span - span / 2;
        ++steps;
    }
    return steps;
}

Status ScanWholeGrid(GridTrials& trials) {
    for (std::size_t index = 0; index < trials.GridSize(); ++index) {
        bool fits = false;
        if (Status status = trials.Try(index, fits); !status) return status;
    }
    return Status::Ok();
}

Status BisectBoundary(GridTrials& trials) {
    const std::size_t last = trials.GridSize() - 1;
    bool fits = false;
    if (Status status = trials.Try(0, fits); !status || !fits || last == 0) return status;
    if (Status status = trials.Try(last, fits); !status || fits) return status;
    // Invariant: `fitting` fits and `tooLarge` does not.
    std::size_t fitting = 0;
    std::size_t tooLarge = last;
    while (tooLarge - fitting > 1) {
        const std::size_t middle = fitting + (tooLarge - fitting) / 2;
        if (Status status = trials.Try(middle, fits); !status) return status;
        if (fits) {
            fitting = middle;
        } else {
            tooLarge = middle;
        }
    }
    for (std::size_t index = tooLarge + 1; index <= std::min(last, tooLarge + kValuesPastBoundary); ++index) {
        if (Status status = trials.Try(index, fits); !status) return status;
    }
    return Status::Ok();
}

}  // namespace

Status EncodeAtSize(const ReferenceCodec& codec, const RgbImage& image, std::uint64_t targetBytes,
                    FittedEncoding& result, const EncodingProgress& progress) {
    const std::size_t gridSize = codec.KnobGrid().size();
    if (gridSize == 0) return Status::Error(ErrorKind::InvalidSetting, std::string(codec.Name()) + ": the codec has no knob values");
    const bool wholeGrid = codec.SearchRule() == KnobSearchRule::WholeGrid;
    const std::size_t estimate = wholeGrid ? gridSize : 2 + BisectionSteps(gridSize - 1) + kValuesPastBoundary;
    GridTrials trials(codec, image, targetBytes, progress, estimate);
    if (Status status = wholeGrid ? ScanWholeGrid(trials) : BisectBoundary(trials); !status) return status;
    trials.Finish(result);
    return Status::Ok();
}

}  // namespace pictora
