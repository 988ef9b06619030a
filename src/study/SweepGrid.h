#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "image/BoxFilter.h"
#include "image/ColorSpace.h"
#include "image/Deblocking.h"
#include "pipeline/MethodSettingsText.h"
#include "pipeline/TrainingJob.h"
#include "quantizer/CodingMethod.h"
#include "quantizer/EntropyCoderSlot.h"

namespace pictora {

// One combination of Pictora settings in a sweep, each value used for all
// three channels.
struct SweepCell {
    ColorSpace colorSpace = ColorSpace::Rgb;
    std::uint32_t blockSide = 8;
    double radius = 0.1;
    double alfa = 0.1;
    LowPassFilter filter = LowPassFilter::None;
    // The lossless stage whose file a point's bytes are; none: the .mqc.
    LosslessMode entropy = LosslessMode::None;
    CodeBy codeBy = CodeBy::Similarity;
    std::uint32_t refine = 0;
    double lambda = 0.0;
    DeblockStrength deblock = DeblockStrength::Off;
};

// The alternatives of every setting; the sweep trains their product.
struct SweepGrid {
    std::vector<ColorSpace> colorSpaces{ColorSpace::Rgb};
    std::vector<std::uint32_t> blockSides{8};
    std::vector<double> radii{0.1};
    std::vector<double> alfas{0.1};
    std::vector<LowPassFilter> filters{LowPassFilter::None};
    std::vector<LosslessMode> entropies{LosslessMode::None};
    std::vector<CodeBy> codeBys{CodeBy::Similarity};
    std::vector<std::uint32_t> refines{0};
    std::vector<double> lambdas{0.0};
    std::vector<DeblockStrength> deblocks{DeblockStrength::Off};

    // Every cell, the first dimension of kGridDimensions varying slowest and
    // the last fastest, each setting's alternatives in the order given.
    std::vector<SweepCell> Cells() const;
};

// How a value is written: exactly (reals with %.17g, as results.csv holds
// them) or shortest (reals in their shortest exact text, as job descriptions,
// the command line and legends write them). Names and whole numbers read the
// same either way.
enum class ValueStyle { Exact, Shortest };

std::string ValueText(ColorSpace value, ValueStyle style);
std::string ValueText(std::uint32_t value, ValueStyle style);
std::string ValueText(double value, ValueStyle style);
std::string ValueText(LowPassFilter value, ValueStyle style);
std::string ValueText(LosslessMode value, ValueStyle style);
std::string ValueText(CodeBy value, ValueStyle style);
std::string ValueText(DeblockStrength value, ValueStyle style);

// One setting the grid varies. Its name is the column of results.csv and the
// key of a job's description ("color_space"); the command line's option is
// the name with dashes ("--color-space").
template <typename T>
struct GridDimension {
    std::string_view name;
    T SweepCell::*inCell;
    std::vector<T> SweepGrid::*inGrid;
    // Whether the points of a family share the value: a family (one curve of
    // the charts, one row of the BD-rates) runs over every value of the
    // others, as over the steps.
    bool sharedByFamily;
    // The option's help, the default in brackets.
    std::string_view help;
    // One value as the command line and results.csv write it; false for
    // anything else.
    bool (*read)(std::string_view text, T& value);
    // The value's words in a family's legend ("8×8"), empty for none.
    std::string (*legend)(const T& value);
    // Sets the value in a training job's settings, for every channel.
    void (*apply)(const T& value, TrainingJob& job);
};

bool ReadColorSpace(std::string_view text, ColorSpace& value);
bool ReadBlockSide(std::string_view text, std::uint32_t& value);
bool ReadFiniteReal(std::string_view text, double& value);
bool ReadFilter(std::string_view text, LowPassFilter& value);
bool ReadEntropy(std::string_view text, LosslessMode& value);

// Every setting of the grid in the order of results.csv's columns and of the
// cells. A new setting is a field of SweepCell and SweepGrid and an entry
// here: the options, the columns, the job descriptions, the planned commands,
// the families and the training job follow from it.
inline constexpr auto kGridDimensions = std::make_tuple(
    GridDimension<ColorSpace>{
        "color_space", &SweepCell::colorSpace, &SweepGrid::colorSpaces, true,
        "colour spaces: rgb, ycbcr444, ycbcr420 (rgb)", ReadColorSpace,
        [](const ColorSpace& value) { return ValueText(value, ValueStyle::Shortest); },
        [](const ColorSpace& value, TrainingJob& job) { job.colorSpace = value; }},
    GridDimension<std::uint32_t>{
        "block", &SweepCell::blockSide, &SweepGrid::blockSides, true, "block sides in pixels, 2 to 12 (8)",
        ReadBlockSide,
        [](const std::uint32_t& side) { return std::to_string(side) + "×" + std::to_string(side); },
        [](const std::uint32_t& side, TrainingJob& job) {
            for (ChannelJob& channel : job.channels) channel.dimension = side * side;
        }},
    GridDimension<double>{"radius", &SweepCell::radius, &SweepGrid::radii, false, "training radii R (0.1)",
                          ReadFiniteReal, nullptr,
                          [](const double& radius, TrainingJob& job) {
                              for (ChannelJob& channel : job.channels) channel.radius = radius;
                          }},
    GridDimension<double>{"alfa", &SweepCell::alfa, &SweepGrid::alfas, true, "learning rates ALFA (0.1)",
                          ReadFiniteReal,
                          [](const double& alfa) { return "ALFA " + ValueText(alfa, ValueStyle::Shortest); },
                          [](const double& alfa, TrainingJob& job) {
                              for (ChannelJob& channel : job.channels) channel.alfa = alfa;
                          }},
    GridDimension<LowPassFilter>{
        "filter", &SweepCell::filter, &SweepGrid::filters, true, "low-pass filters: none, 3, 5, 7, 9 (none)",
        ReadFilter,
        [](const LowPassFilter& filter) {
            return filter == LowPassFilter::None ? std::string() : "filter " + ValueText(filter, ValueStyle::Shortest);
        },
        [](const LowPassFilter& filter, TrainingJob& job) { job.filter = filter; }},
    // The stage does not change the training: the job's run puts the coded
    // image through it and takes its file's bytes as the point's.
    GridDimension<LosslessMode>{
        "entropy", &SweepCell::entropy, &SweepGrid::entropies, true,
        "lossless stages: none, huffman, arithmetic, contextual (none)", ReadEntropy,
        [](const LosslessMode& stage) {
            return stage == LosslessMode::None ? std::string() : ValueText(stage, ValueStyle::Shortest);
        },
        [](const LosslessMode&, TrainingJob&) {}},
    GridDimension<CodeBy>{
        "code_by", &SweepCell::codeBy, &SweepGrid::codeBys, true, "codings: similarity, error (similarity)",
        ParseCodeBy,
        [](const CodeBy& codeBy) {
            return codeBy == CodeBy::Similarity ? std::string() : "by " + ValueText(codeBy, ValueStyle::Shortest);
        },
        [](const CodeBy& codeBy, TrainingJob& job) { job.method.coding.codeBy = codeBy; }},
    GridDimension<std::uint32_t>{
        "refine", &SweepCell::refine, &SweepGrid::refines, true, "Lloyd iterations after each coding (0)",
        ParseRefine,
        [](const std::uint32_t& iterations) {
            return iterations == 0 ? std::string() : "refine " + std::to_string(iterations);
        },
        [](const std::uint32_t& iterations, TrainingJob& job) { job.method.coding.refine = iterations; }},
    GridDimension<double>{"lambda", &SweepCell::lambda, &SweepGrid::lambdas, false,
                          "rate-aware pruning, squared error per bit; 0: off (0)", ParseLambda, nullptr,
                          [](const double& lambda, TrainingJob& job) { job.method.coding.lambda = lambda; }},
    GridDimension<DeblockStrength>{
        "deblock", &SweepCell::deblock, &SweepGrid::deblocks, true, "deblocking strengths, 0 (off) to 3 (0)",
        ParseDeblockStrength,
        [](const DeblockStrength& strength) {
            return strength == DeblockStrength::Off ? std::string()
                                                    : "deblock " + ValueText(strength, ValueStyle::Shortest);
        },
        [](const DeblockStrength& strength, TrainingJob& job) { job.method.deblock = strength; }});

// Calls visit(dimension) for every entry of kGridDimensions, in order.
template <typename Visit>
void ForEachGridDimension(Visit&& visit) {
    std::apply([&visit](const auto&... dimension) { (visit(dimension), ...); }, kGridDimensions);
}

// "color_space" -> "--color-space".
std::string OptionName(std::string_view dimensionName);

// Whether two cells belong to the same family.
bool SameFamily(const SweepCell& a, const SweepCell& b);

// A family's legend: "rgb 8×8 ALFA 0.1", and the filter, the lossless stage
// and each of the method's settings unless it is the default.
std::string FamilyLegend(const SweepCell& family);

// The training job of one step of the cell: every channel trains once.
TrainingJob TrainingJobOf(const SweepCell& cell);

}  // namespace pictora
