// pictora-cli decode, apply and info: the commands that read coded images
// and codebooks.
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/CsvResults.h"
#include "cli/OutputFiles.h"
#include "cli/ResultsTable.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "quantizer/CodebookSection.h"
#include "support/FileIO.h"
#include "support/Truncate.h"

namespace pictora::cli {
namespace {

// The positional arguments, and the values of -o and --results.
struct FileArguments {
    std::vector<std::string> positional;
    std::vector<std::string> outputs;
    std::string resultsPath;
};

bool SplitArguments(const std::vector<std::string>& arguments, bool allowResults, FileArguments& parsed,
                    std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "-o" || (allowResults && argument == "--results")) {
            if (i + 1 >= arguments.size()) {
                error = "option " + argument + " needs a value";
                return false;
            }
            (argument == "-o" ? parsed.outputs.emplace_back() : parsed.resultsPath) = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        } else {
            parsed.positional.push_back(argument);
        }
    }
    return CheckOutputKinds(parsed.outputs, error);
}

// "PATH:k" selects section k (from 1) of a codebook file; a plain path section 1.
bool SplitSection(const std::string& argument, std::string& path, int& position) {
    const auto colon = argument.find_last_of(':');
    const std::string digits = colon == std::string::npos ? "" : argument.substr(colon + 1);
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) {
        path = argument;
        position = 1;
        return true;
    }
    path = argument.substr(0, colon);
    position = std::stoi(digits);
    return position >= 1;
}

const char* ColourSpaceName(int code) {
    switch (code) {
        case kColorSpaceYCbCr444: return "YCbCr (4:4:4)";
        case kColorSpaceRgb: return "RGB";
        case kColorSpaceYCbCr420: return "YCbCr (4:2:0)";
        default: return "none (coded as RGB)";
    }
}

int DescribeCodedImage(const std::string& path) {
    ImageCompressor compressor;
    std::size_t codedSize = 0;
    if (Status decoded = DecodeResultFile(compressor, path, &codedSize); !decoded) return ReportBadFile(decoded.message());
    const char* stage = ResultFileKindOf(path) == ResultFileKind::Huffman      ? "Huffman"
                        : ResultFileKindOf(path) == ResultFileKind::Arithmetic ? "arithmetic"
                                                                               : nullptr;
    if (stage == nullptr) {
        std::printf("%s: coded image of %zu bytes, colour space %s\n", path.c_str(), codedSize,
                    ColourSpaceName(compressor.ColorSpace()));
    } else {
        std::printf("%s: %s-coded image, %lld bytes; coded image of %zu bytes, colour space %s\n", path.c_str(), stage,
                    static_cast<long long>(FileSize(path)), codedSize, ColourSpaceName(compressor.ColorSpace()));
    }
    for (int c = 0; c < 3; ++c) {
        const KohonenNetwork& channel = compressor.Channel(c);
        const std::uint32_t side = BlockSide(channel.Dimension());
        std::printf("channel %d: %u x %u pixels, block %u x %u, %u neurons, index width %u\n", c, channel.Columns(),
                    channel.Rows(), side, side, channel.NeuronCount(), BitLength(channel.NeuronCount()));
    }
    return kExitOk;
}

int DescribeCodebookFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return ReportBadFile(read.message());
    ByteReader in(bytes);
    std::string lines;
    for (int section = 1; in.Remaining() > 0; ++section) {
        CodebookSectionHeader header;
        if (Status read = ReadCodebookSectionHeader(in, header); !read)
            return ReportBadFile(path + ": codebook " + std::to_string(section) + ": " + read.message());
        (void)in.Skip(static_cast<std::size_t>(header.Size() - 8));  // the header checked they are there
        const std::uint32_t side = BlockSide(header.dimension);
        char line[160];
        std::snprintf(line, sizeof line, "codebook %d: block %u x %u, %u neurons, colour space %s\n", section, side,
                      side, header.neuronCount, ColourSpaceName(header.colourCode <= 2 ? header.colourCode : 3));
        lines += line;
    }
    if (lines.empty()) return ReportBadFile(path + ": holds no codebook");
    std::printf("%s: codebook file\n%s", path.c_str(), lines.c_str());
    return kExitOk;
}

}  // namespace

int RunDecode(const std::vector<std::string>& arguments) {
    FileArguments parsed;
    std::string error;
    if (!SplitArguments(arguments, false, parsed, error)) return ReportUsageError(error);
    if (parsed.positional.size() != 1 || parsed.outputs.empty())
        return ReportUsageError("decode takes one coded image and at least one -o OUT");
    ImageCompressor compressor;
    if (Status decoded = DecodeResultFile(compressor, parsed.positional[0]); !decoded)
        return ReportBadFile(decoded.message());
    if (Status written = WriteOutputs(compressor, parsed.outputs); !written) return ReportBadFile(written.message());
    return kExitOk;
}

int RunApply(const std::vector<std::string>& arguments) {
    FileArguments parsed;
    std::string error;
    if (!SplitArguments(arguments, true, parsed, error)) return ReportUsageError(error);
    const std::size_t books = parsed.positional.size() - (parsed.positional.empty() ? 0 : 1);
    if (books != 1 && books != 3) return ReportUsageError("apply takes an image and one or three codebook files");

    ImageCompressor compressor;
    if (Status loaded = compressor.LoadImage(parsed.positional[0]); !loaded) return ReportBadFile(loaded.message());
    CsvResults csv;
    if (Status opened = csv.Open(parsed.resultsPath); !opened) return ReportBadFile(opened.message());
    Status applied = Status::Ok();
    if (books == 1) {
        applied = compressor.ApplyCodebookFile(parsed.positional[1]);
    } else {
        std::array<std::string, 3> paths;
        std::array<int, 3> positions{};
        for (std::size_t c = 0; c < 3; ++c) {
            if (!SplitSection(parsed.positional[c + 1], paths[c], positions[c]))
                return ReportUsageError("no codebook 0 in " + parsed.positional[c + 1] + " (sections count from 1)");
        }
        applied = compressor.ApplyCodebookFiles(paths, positions);
    }
    if (!applied) return ReportBadFile(applied.message());

    ResultsTable table(stdout);
    table.PrintHeader();
    table.PrintRow(FormatResultsRow(compressor, ResultKind::FileLoaded, 1, 0.0));
    csv.Add(FormatResultsCsvLine(compressor, 0, 0.0));
    if (Status closed = csv.Close(); !closed) return ReportBadFile(closed.message());
    if (Status written = WriteOutputs(compressor, parsed.outputs); !written) return ReportBadFile(written.message());
    return kExitOk;
}

int RunInfo(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return ReportUsageError("info takes one coded image or codebook file");
    switch (ResultFileKindOf(arguments[0])) {
        case ResultFileKind::Coded:
        case ResultFileKind::Huffman:
        case ResultFileKind::Arithmetic: return DescribeCodedImage(arguments[0]);
        case ResultFileKind::Codebook: return DescribeCodebookFile(arguments[0]);
        default: return ReportUsageError("cannot tell what " + arguments[0] + " holds (use .mqc, .huf, .art or .cod)");
    }
}

}  // namespace pictora::cli
