#include "cli/TrainOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "cli/MethodOptions.h"
#include "cli/OptionValues.h"

namespace pictora::cli {
namespace {

bool ParseBlockSide(const std::string& text, std::uint32_t& side) {
    return ParseUnsigned(text, side) && side >= 2 && side <= 12;
}

bool ParseSteps(const std::string& text, std::uint32_t& steps) { return ParseUnsigned(text, steps); }

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A list option "V|V0,V1,V2" read into `values` by `parse`, refused as a
// whole when any part is not a value; the message says what `wanted` is.
template <typename T, typename Parse>
CLI::Option* AddTriple(CLI::App& command, const std::string& name, std::array<T, 3>& values, Parse parse,
                       const std::string& wanted, const std::string& help) {
    return command
        .add_option_function<std::string>(
            name,
            [&values, parse, name, wanted](const std::string& text) {
                std::array<std::string, 3> parts;
                if (!SplitTriple(text, parts))
                    throw CLI::ValidationError(name + " " + text + ": give one value, or three separated by commas");
                std::array<T, 3> parsed{};
                for (std::size_t c = 0; c < 3; ++c)
                    if (!parse(parts[c], parsed[c])) throw CLI::ValidationError(name + " " + parts[c] + ": " + wanted);
                values = parsed;
            },
            help)
        ->type_name("V|V0,V1,V2");
}

// An option that takes one of a few names (any case), each standing for a value.
template <typename T>
CLI::Option* AddChoice(CLI::App& command, const std::string& name, T& value,
                       const std::vector<std::pair<std::string, T>>& choices, const std::string& help) {
    std::string names;
    std::string listed;
    for (std::size_t k = 0; k < choices.size(); ++k) {
        names += (k == 0 ? "" : "|") + choices[k].first;
        listed += (k == 0 ? "" : k + 1 == choices.size() ? " or " : ", ") + choices[k].first;
    }
    return command
        .add_option_function<std::string>(
            name,
            [&value, choices, name, listed](const std::string& text) {
                for (const auto& choice : choices)
                    if (choice.first == Lower(text)) {
                        value = choice.second;
                        return;
                    }
                throw CLI::ValidationError(name + " " + text + ": choose " + listed);
            },
            help)
        ->type_name(names);
}

}  // namespace

CLI::App* DeclareTrainCommand(CLI::App& program, TrainOptions& options) {
    CLI::App* train = program.add_subcommand(
        "train", "Trains one codebook per colour channel on an 8-bit RGB PNG image, step by step, printing one "
                 "row of results after every step. A list V0,V1,V2 gives one value per channel (R or Y, G or Cb, "
                 "B or Cr), a single V all three.");
    train->add_option("IMAGE", options.imagePath, "8-bit RGB PNG image")->required();
    AddChoice<ColorSpace>(*train, "--color-space", options.colorSpace,
                          {{"rgb", ColorSpace::Rgb}, {"ycbcr444", ColorSpace::YCbCr444}, {"ycbcr420", ColorSpace::YCbCr420}},
                          "colour space of the channels (rgb)");
    AddTriple(*train, "--block", options.blockSides, ParseBlockSide, "a block side is a whole number from 2 to 12",
              "block side in pixels, 2 to 12 (8)");
    AddTriple(*train, "--steps", options.steps, ParseSteps, "a number of steps is a whole number from 0 to 4294967295",
              "training steps per channel (1)");
    AddTriple(*train, "--radius", options.radius, ParseFiniteReal, "the radius is a finite number, such as 0.1",
              "training radius R (0.1)");
    AddTriple(*train, "--alfa", options.alfa, ParseFiniteReal, "the learning rate is a finite number, such as 0.1",
              "learning rate ALFA (0.1)");
    AddChoice<LowPassFilter>(*train, "--filter", options.filter,
                             {{"none", LowPassFilter::None},
                              {"3", LowPassFilter::Box3},
                              {"5", LowPassFilter::Box5},
                              {"7", LowPassFilter::Box7},
                              {"9", LowPassFilter::Box9}},
                             "box low-pass filter on the reconstruction (none)");
    AddChoice<LosslessMode>(
        *train, "--entropy", options.losslessMode,
        {{"none", LosslessMode::None},
         {"huffman", LosslessMode::Huffman},
         {"arithmetic", LosslessMode::Arithmetic},
         {"contextual", LosslessMode::Contextual}},
        "lossless stage measured after each step (none)");
    DeclareMeasuresOption(*train, options.measures, "step");
    DeclareMethodOptions(*train, options.method, MethodOptionSet::All);
    train->add_option("--results", options.resultsPath, "also write the rows as CSV")->type_name("FILE.csv");
    train->add_flag("--reference-search", options.referenceSearch,
                    "search with the plain scan, one neuron after another on one thread: the same results, "
                    "slower, for comparison");
    train
        ->add_option("-o", options.outputs,
                     "write a result, the kind chosen by extension: .png reconstruction, .mqc coded image, .huf, "
                     ".art or .mqz coded image through a lossless stage, .cod codebooks")
        ->type_name("OUT")
        ->allow_extra_args(false);
    return train;
}

CLI::Option* DeclareMeasuresOption(CLI::App& command, MeasureSet& measures, const std::string& what) {
    std::vector<std::pair<std::string, MeasureSet>> choices;
    for (const MeasureSetName& named : kMeasureSetNames) choices.emplace_back(named.name, named.set);
    return AddChoice<MeasureSet>(command, "--measures", measures, choices,
                                 "measures of each " + what +
                                     ": all, psnr to skip SSIM and MS-SSIM, or butteraugli to add Butteraugli's "
                                     "distances (slow) to all (all)");
}

bool ParseTrainOptions(const std::vector<std::string>& arguments, TrainOptions& options, std::string& error) {
    CLI::App program;
    CLI::App* train = DeclareTrainCommand(program, options);
    program.require_subcommand(1);
    std::vector<std::string> reversed = {"train"};
    reversed.insert(reversed.end(), arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    try {
        program.parse(reversed);
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
        return false;
    }
    return train->parsed();
}

TrainingJob JobTemplate(const TrainOptions& options) {
    TrainingJob job;
    for (std::size_t c = 0; c < 3; ++c) {
        job.channels[c].radius = options.radius[c];
        job.channels[c].alfa = options.alfa[c];
        job.channels[c].dimension = options.blockSides[c] * options.blockSides[c];
    }
    job.filter = options.filter;
    job.colorSpace = options.colorSpace;
    job.method = options.method;
    return job;
}

}  // namespace pictora::cli
