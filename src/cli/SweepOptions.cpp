#include "cli/SweepOptions.h"

#include <CLI/CLI.hpp>
#include <functional>

#include "cli/OptionValues.h"
#include "reference/ReferenceCodecTable.h"

namespace pictora::cli {
namespace {

// Splits "A,B,C" into its parts; an empty part makes the whole list invalid.
bool SplitList(const std::string& text, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (parts.back().empty()) return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Reads "A,B,..." with `parse`; false, with `values` unchanged, when any
// part is not a value.
template <typename T>
bool ParseList(const std::string& text, const std::function<bool(const std::string&, T&)>& parse,
               std::vector<T>& values) {
    std::vector<std::string> parts;
    if (!SplitList(text, parts)) return false;
    std::vector<T> parsed(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k)
        if (!parse(parts[k], parsed[k])) return false;
    values = std::move(parsed);
    return true;
}

// A list option "A,B,..." read into `values` by `parse`, refused as a whole
// when any part is not a value.
template <typename T>
CLI::Option* AddList(CLI::App& command, const std::string& name, std::vector<T>& values,
                     std::function<bool(const std::string&, T&)> parse, const std::string& help) {
    return command
        .add_option_function<std::string>(
            name,
            [&values, parse, name](const std::string& text) {
                if (!ParseList(text, parse, values)) throw CLI::ValidationError(name, "invalid value " + text);
            },
            help)
        ->type_name("L");
}

bool ParseColorSpace(const std::string& text, ColorSpace& value) {
    const auto named = ColorSpaceNamed(text);
    if (named) value = *named;
    return named.has_value();
}

bool ParseFilter(const std::string& text, LowPassFilter& value) {
    const auto named = FilterNamed(text);
    if (named) value = *named;
    return named.has_value();
}

bool ParseBlockSide(const std::string& text, std::uint32_t& side) {
    return ParseUnsigned(text, side) && side >= 2 && side <= 12;
}

bool ParseCodec(const std::string& text, ReferenceCodecKind& kind) {
    const ReferenceCodecTraits* codec = ReferenceCodecNamed(text);
    if (codec != nullptr) kind = codec->kind;
    return codec != nullptr;
}

}  // namespace

CLI::App* DeclareSweepCommand(CLI::App& program, SweepOptions& options) {
    CLI::App* sweep = program.add_subcommand(
        "sweep", "Rate-distortion study: trains every image with every combination of the listed settings (each "
                 "value used for all three channels) for a few steps from a new run, encodes each image at every "
                 "rung of the reference codecs' ladders, and writes results.csv, bd-rate.csv and the charts of "
                 "each image into the output folder.");
    sweep->add_option("IMAGE", options.images, "8-bit RGB PNG images")->required();
    AddList<ColorSpace>(*sweep, "--color-space", options.grid.colorSpaces, ParseColorSpace,
                        "colour spaces: rgb, ycbcr444, ycbcr420 (rgb)");
    AddList<std::uint32_t>(*sweep, "--block", options.grid.blockSides, ParseBlockSide,
                           "block sides in pixels, 2 to 12 (8)");
    AddList<double>(*sweep, "--radius", options.grid.radii, ParseFiniteReal, "training radii R (0.1)");
    AddList<double>(*sweep, "--alfa", options.grid.alfas, ParseFiniteReal, "learning rates ALFA (0.1)");
    AddList<LowPassFilter>(*sweep, "--filter", options.grid.filters, ParseFilter,
                           "low-pass filters: none, 3, 5, 7, 9 (none)");
    sweep
        ->add_option_function<std::string>(
            "--steps",
            [&options](const std::string& text) {
                if (!ParseUnsigned(text, options.steps) || options.steps == 0)
                    throw CLI::ValidationError("--steps", "invalid value " + text);
            },
            "training steps of every combination, from a new run (5)")
        ->type_name("S");
    sweep
        ->add_option_function<std::string>(
            "--codecs",
            [&options](const std::string& text) {
                if (text == "none") {
                    options.codecs.clear();
                    return;
                }
                if (!ParseList<ReferenceCodecKind>(text, ParseCodec, options.codecs))
                    throw CLI::ValidationError("--codecs", "invalid value " + text);
            },
            "reference codecs: jpeg, webp, avif, jxl, or none (jpeg,webp,avif,jxl)")
        ->type_name("L");
    sweep
        ->add_option_function<std::string>(
            "--jobs",
            [&options](const std::string& text) {
                std::uint32_t jobs = 0;
                if (!ParseUnsigned(text, jobs) || jobs == 0) throw CLI::ValidationError("--jobs", "invalid value " + text);
                options.jobs = jobs;
            },
            "jobs run at once (one per core)")
        ->type_name("N");
    sweep->add_option("-o", options.outputFolder, "output folder (sweep)")->type_name("DIR");
    CLI::Option* plan =
        sweep->add_flag("--plan", options.plan, "print one shell command per job on stdout and run nothing");
    CLI::Option* collect =
        sweep->add_flag("--collect", options.collect, "merge the jobs' results in DIR, check that none is missing, "
                                                      "compute the BD-rates and draw the charts");
    plan->excludes(collect);
    // What a planned command runs; not for people.
    sweep
        ->add_option_function<std::string>(
            "--job",
            [&options](const std::string& text) {
                std::uint32_t job = 0;
                if (!ParseUnsigned(text, job)) throw CLI::ValidationError("--job", "invalid value " + text);
                options.job = job;
            })
        ->group("")
        ->excludes(plan)
        ->excludes(collect);
    return sweep;
}

}  // namespace pictora::cli
