#include "cli/SweepPlanCommands.h"

#include <functional>

#include "cli/ShellQuote.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

template <typename T>
std::string ListText(const std::vector<T>& values, const std::function<std::string(const T&)>& text) {
    std::string joined;
    for (const T& value : values) joined += (joined.empty() ? "" : ",") + text(value);
    return joined;
}

// The options every job of the sweep shares, read back exactly as given
// (reals in their shortest exact text).
std::string SharedArguments(const SweepOptions& options, const SweepJobList& list) {
    const SweepGrid& grid = options.grid;
    std::string arguments;
    auto add = [&arguments](const std::string& option, const std::string& value) {
        arguments += " " + option + " " + ShellQuote(value);
    };
    add("--color-space", ListText<ColorSpace>(grid.colorSpaces, [](const ColorSpace& c) {
            return std::string(ColorSpaceName(c));
        }));
    add("--block", ListText<std::uint32_t>(grid.blockSides, [](const std::uint32_t& s) { return std::to_string(s); }));
    add("--radius", ListText<double>(grid.radii, [](const double& r) { return ShortestText(r); }));
    add("--alfa", ListText<double>(grid.alfas, [](const double& a) { return ShortestText(a); }));
    add("--filter", ListText<LowPassFilter>(grid.filters, [](const LowPassFilter& f) {
            return std::string(FilterName(f));
        }));
    add("--steps", std::to_string(list.steps));
    add("--codecs", list.codecs.empty() ? std::string("none")
                                        : ListText<ReferenceCodecKind>(list.codecs, [](const ReferenceCodecKind& k) {
                                              return std::string(TraitsOf(k).name);
                                          }));
    add("-o", list.folder);
    return arguments;
}

}  // namespace

std::vector<std::string> PlanCommands(const std::string& program, const SweepOptions& options,
                                      const SweepJobList& list) {
    std::string head = ShellQuote(program) + " sweep";
    for (const std::string& image : list.imagePaths) head += " " + ShellQuote(image);
    head += SharedArguments(options, list);
    std::vector<std::string> commands;
    for (std::size_t job = 0; job < list.jobs.size(); ++job) commands.push_back(head + " --job " + std::to_string(job));
    return commands;
}

}  // namespace pictora::cli
