#include "cli/TrainOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace pictora::cli {
namespace {

bool ParseUnsigned(const std::string& text, std::uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed > UINT32_MAX) return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool ParseReal(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// "V" gives V to all three channels; "V0,V1,V2" one value each.
template <typename T, typename Parse>
bool ParseTriple(const std::string& text, std::array<T, 3>& values, Parse parse) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ',')) parts.push_back(part);
    if (!text.empty() && text.back() == ',') return false;
    if (parts.size() == 1) parts.assign(3, parts[0]);
    if (parts.size() != 3) return false;
    std::array<T, 3> parsed{};
    for (int c = 0; c < 3; ++c)
        if (!parse(parts[static_cast<std::size_t>(c)], parsed[static_cast<std::size_t>(c)])) return false;
    values = parsed;
    return true;
}

bool ParseColorSpace(const std::string& text, int& code) {
    if (text == "rgb") code = kColorSpaceRgb;
    else if (text == "ycbcr444") code = kColorSpaceYCbCr444;
    else if (text == "ycbcr420") code = kColorSpaceYCbCr420;
    else return false;
    return true;
}

bool ParseFilter(const std::string& text, int& index) {
    if (text == "none") index = kNoFilter;
    else if (text == "3") index = 0;
    else if (text == "5") index = 1;
    else if (text == "7") index = 2;
    else if (text == "9") index = 3;
    else return false;
    return true;
}

bool ParseEntropy(const std::string& text, int& mode) {
    if (text == "none") mode = 0;
    else if (text == "huffman") mode = 1;
    else if (text == "arithmetic") mode = 2;
    else return false;
    return true;
}

bool ParseBlockSide(const std::string& text, std::uint32_t& side) {
    return ParseUnsigned(text, side) && side >= 2 && side <= 12;
}

}  // namespace

bool ParseTrainOptions(const std::vector<std::string>& arguments, TrainOptions& options, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--reference-search") {
            options.referenceSearch = true;
            continue;
        }
        const bool takesValue = argument.size() > 1 && argument[0] == '-';
        if (!takesValue) {
            if (!options.imagePath.empty()) {
                error = "more than one image given: " + argument;
                return false;
            }
            options.imagePath = argument;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "option " + argument + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        bool ok = true;
        if (argument == "--color-space") ok = ParseColorSpace(value, options.colorSpace);
        else if (argument == "--block") ok = ParseTriple(value, options.blockSides, ParseBlockSide);
        else if (argument == "--steps") ok = ParseTriple(value, options.steps, ParseUnsigned);
        else if (argument == "--radius") ok = ParseTriple(value, options.radius, ParseReal);
        else if (argument == "--alfa") ok = ParseTriple(value, options.alfa, ParseReal);
        else if (argument == "--filter") ok = ParseFilter(value, options.filterIndex);
        else if (argument == "--entropy") ok = ParseEntropy(value, options.entropyMode);
        else if (argument == "--results") options.resultsPath = value;
        else if (argument == "-o") options.outputs.push_back(value);
        else {
            error = "unknown option " + argument;
            return false;
        }
        if (!ok) {
            error = "invalid value for " + argument + ": " + value;
            return false;
        }
    }
    if (options.imagePath.empty()) {
        error = "no image given";
        return false;
    }
    return true;
}

}  // namespace pictora::cli
