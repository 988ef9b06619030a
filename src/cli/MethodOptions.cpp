#include "cli/MethodOptions.h"

#include <CLI/CLI.hpp>
#include <string>

#include "pipeline/MethodSettingsText.h"

namespace pictora::cli {
namespace {

// An option whose text `parse` reads into `value`, refused when it cannot.
template <typename T, typename Parse>
void AddParsed(CLI::App& command, const std::string& name, T& value, Parse parse, const std::string& type,
               const std::string& help) {
    command
        .add_option_function<std::string>(
            name,
            [&value, parse, name](const std::string& text) {
                if (!parse(text, value)) throw CLI::ValidationError(name, "invalid value " + text);
            },
            help)
        ->type_name(type);
}

}  // namespace

void DeclareMethodOptions(CLI::App& command, MethodSettings& settings, MethodOptionSet set) {
    if (set == MethodOptionSet::All) {
        AddParsed(command, "--code-by", settings.coding.codeBy, ParseCodeBy, "similarity|error",
                  "choose each block's neuron by the largest similarity or by the least squared error of its "
                  "pixels (similarity)");
        AddParsed(command, "--refine", settings.coding.refine, ParseRefine, "I",
                  "Lloyd iterations after each coding: every neuron moves to the rounded mean of its blocks, "
                  "blocks are coded again by least error (0)");
        AddParsed(command, "--lambda", settings.coding.lambda, ParseLambda, "L",
                  "rate-aware pruning after coding: neurons go while their bits cost more than the error their "
                  "removal adds, at L squared error per bit (0: off)");
    }
    AddParsed(command, "--deblock", settings.deblock, ParseDeblockStrength, "S",
              "deblocking filter on the reconstruction before it is measured or written, strength 1 to 3 "
              "(0: off); the coded file does not record it");
}

}  // namespace pictora::cli
