// pictora-cli decode, apply and info: the commands that read coded images
// and codebooks.
#include "cli/FileCommands.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/CsvResults.h"
#include "cli/MethodOptions.h"
#include "cli/OptionValues.h"
#include "cli/OutputFiles.h"
#include "cli/ResultsTable.h"
#include "report/ResultsRow.h"
#include "pipeline/CodedImage.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "quantizer/CodebookSection.h"
#include "quantizer/CodedChannelFigures.h"
#include "quantizer/ContextualCoder.h"
#include "support/CountText.h"
#include "support/FileIO.h"
#include "support/NumberText.h"
#include "support/Truncate.h"

namespace pictora::cli {
namespace {

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
    std::uint32_t section = 0;
    if (!ParseUnsigned(digits, section)) return false;
    position = static_cast<int>(section);
    return position >= 1;
}

const char* ColourSpaceName(ColorSpace space) {
    switch (space) {
        case ColorSpace::YCbCr444: return "YCbCr (4:4:4)";
        case ColorSpace::Rgb: return "RGB";
        case ColorSpace::YCbCr420: return "YCbCr (4:2:0)";
        case ColorSpace::None: break;
    }
    return "none (coded as RGB)";
}

const char* LosslessStageName(LosslessMode mode) {
    switch (mode) {
        case LosslessMode::Huffman: return "Huffman";
        case LosslessMode::Arithmetic: return "arithmetic";
        case LosslessMode::Contextual: return "contextual";
        case LosslessMode::None: break;
    }
    return nullptr;
}

int DescribeCodedImage(const std::string& path) {
    std::vector<std::uint8_t> coded;
    if (Status read = ReadCodedImageFile(path, coded); !read) return ReportBadFile(read.message());
    CodedImage image;
    if (Status decoded = DecodeCodedImage(coded, image); !decoded) return ReportBadFile(decoded.About(path).message());
    const LosslessMode mode = LosslessModeOf(ResultFileKindOf(path));
    ContextualParts parts;
    if (mode == LosslessMode::Contextual) {
        std::vector<std::uint8_t> bytes;
        Status measured = ReadWholeFile(path, bytes);
        if (measured) measured = MeasureContextualParts(bytes, parts);
        if (!measured) return ReportBadFile(measured.About(path).message());
    }
    const std::string codedText = "coded image of " + Counted(coded.size(), "byte", "bytes");
    if (const char* stage = LosslessStageName(mode); stage == nullptr) {
        std::printf("%s: %s, colour space %s\n", path.c_str(), codedText.c_str(), ColourSpaceName(image.colorSpace));
    } else {
        const std::string packed = Counted(static_cast<std::uint64_t>(FileSize(path)), "byte", "bytes");
        std::printf("%s: %s-coded image, %s; %s, colour space %s\n", path.c_str(), stage, packed.c_str(), codedText.c_str(),
                    ColourSpaceName(image.colorSpace));
    }
    for (int c = 0; c < 3; ++c) {
        const CodedChannel& channel = image.channels[static_cast<std::size_t>(c)];
        const CodedChannelFigures figure = MeasureCodedChannel(channel);
        std::printf("channel %d: %u x %u pixels, block %u x %u, %s, index width %u\n", c, channel.columns,
                    channel.rows, channel.side, channel.side, Counted(channel.NeuronCount(), "neuron", "neurons").c_str(),
                    BitLength(channel.NeuronCount()));
        std::printf("%s", FormatC("  codebook %llu bytes; %llu blocks, index %llu bits as stored, order-0 entropy "
                                  "%.2f bits per block (%.0f bytes)\n",
                                  static_cast<unsigned long long>(figure.codebookBytes),
                                  static_cast<unsigned long long>(figure.blocks),
                                  static_cast<unsigned long long>(figure.indexBits), figure.indexEntropyBits,
                                  figure.indexEntropyBits * static_cast<double>(figure.blocks) / 8)
                              .c_str());
        if (mode == LosslessMode::Contextual)
            std::printf("%s", FormatC("  in the .mqz: indices %.0f bytes, codebook %.0f bytes, other entries %.0f bytes\n",
                                      parts.indexBytes[c], parts.codebookBytes[c], parts.restBytes[c])
                                  .c_str());
    }
    if (mode == LosslessMode::Contextual)
        std::printf("head of the .mqz: %llu bytes\n", static_cast<unsigned long long>(parts.headBytes));
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
            return ReportBadFile(read.Prefixed(path + ": codebook " + std::to_string(section)).message());
        (void)in.Skip(static_cast<std::size_t>(header.Size() - 8));  // the header checked they are there
        const std::uint32_t side = BlockSide(header.dimension);
        lines += "codebook " + std::to_string(section) + ": block " + std::to_string(side) + " x " +
                 std::to_string(side) + ", " + Counted(header.neuronCount, "neuron", "neurons") + ", colour space " +
                 ColourSpaceName(ColorSpaceFromFileCode(header.colourCode)) + "\n";
    }
    if (lines.empty()) return ReportBadFile(path + ": holds no codebook");
    std::printf("%s: codebook file\n%s", path.c_str(), lines.c_str());
    return kExitOk;
}

// Codebooks of different colour spaces would code every channel in the
// first one's: refused, naming the sections that differ.
int CheckSameColourSpace(const std::array<std::string, 3>& paths, const std::array<int, 3>& positions) {
    std::array<ColorSpace, 3> spaces{};
    if (Status read = ReadChosenColourSpaces(paths, positions, spaces); !read) return ReportBadFile(read.message());
    for (std::size_t c = 1; c < 3; ++c) {
        if (spaces[c] != spaces[0])
            return ReportBadFile(paths[0] + " codebook " + std::to_string(positions[0]) + " is " +
                                 ColourSpaceName(spaces[0]) + " but " + paths[c] + " codebook " +
                                 std::to_string(positions[c]) + " is " + ColourSpaceName(spaces[c]) +
                                 ": the three codebooks must share a colour space");
    }
    return kExitOk;
}

// The one row of a file read: printed under the list's captions and written
// to the CSV file (when there is one), opened in `layout`.
Status ReportFileRow(const StepResult& result, ResultsCsvLayout layout, CsvResults& csv) {
    ResultsTable table(stdout);
    table.PrintHeader();
    table.PrintRow(FormatResultsRow(result));
    return csv.Add(FormatResultsCsvLine(result, layout));
}

}  // namespace

CLI::App* DeclareDecodeCommand(CLI::App& program, DecodeOptions& options) {
    CLI::App* decode = program.add_subcommand("decode", "Rebuilds the RGB image of a coded image.");
    decode->add_option("CODED", options.codedPath, "coded image: .mqc, .huf, .art or .mqz")->required();
    decode->add_option("-o", options.outputs, "write a result by extension (.png, .mqc, .huf, .art, .mqz, .cod)")
        ->type_name("OUT")
        ->allow_extra_args(false);
    decode->add_option("--reference", options.referencePath,
                       "measure the decoded image against this image (its source) and print its row")
        ->type_name("IMAGE.png");
    decode->add_option("--results", options.resultsPath, "also write the row as CSV (with --reference)")
        ->type_name("FILE.csv");
    DeclareMethodOptions(*decode, options.method, MethodOptionSet::DeblockOnly);
    return decode;
}

CLI::App* DeclareApplyCommand(CLI::App& program, ApplyOptions& options) {
    CLI::App* apply = program.add_subcommand(
        "apply", "Codes an image with stored codebooks: the three of one file, or section k of each of three "
                 "files (FILE:k, k from 1).");
    apply->add_option("IMAGE", options.imagePath, "8-bit RGB PNG image")->required();
    apply->add_option("BOOKS", options.codebooks, "BOOK.cod, or R.cod:1 G.cod:2 B.cod:3")->required();
    apply->add_option("-o", options.outputs, "write a result by extension (.png, .mqc, .huf, .art, .mqz, .cod)")
        ->type_name("OUT")
        ->allow_extra_args(false);
    apply->add_option("--results", options.resultsPath, "also write the row as CSV")->type_name("FILE.csv");
    DeclareMethodOptions(*apply, options.method, MethodOptionSet::All);
    return apply;
}

CLI::App* DeclareInfoCommand(CLI::App& program, InfoOptions& options) {
    CLI::App* info = program.add_subcommand(
        "info", "Describes the channels of a coded image or the sections of a codebook file.");
    info->add_option("FILE", options.path, ".mqc, .huf, .art, .mqz or .cod file")->required();
    return info;
}

int RunDecode(const CLI::App& command, const DecodeOptions& options) {
    std::string error;
    if (!CheckOutputKinds(options.outputs, error)) return ReportUsageError(command, error);
    const bool measured = !options.referencePath.empty();
    if (options.outputs.empty() && !measured)
        return ReportUsageError(command, "decode needs -o OUT or --reference IMAGE.png");
    if (!options.resultsPath.empty() && !measured)
        return ReportUsageError(command, "--results needs --reference IMAGE.png");
    std::vector<std::string> outputs = options.outputs;
    outputs.push_back(options.resultsPath);
    if (int refused = CheckOutputPaths(command, outputs, {options.codedPath, options.referencePath}); refused != kExitOk)
        return refused;
    const ResultsCsvLayout layout = ResultsCsvLayoutFor(MethodOfResult(StepOrigin::DecodedFile, options.method));
    CsvResults csv;
    if (Status opened = csv.Open(options.resultsPath, ResultsCsvHeader(layout)); !opened)
        return ReportBadFile(opened.message());
    // The source is read before the coded file, so that its refusal comes first.
    ImageCompressor source;
    if (measured) {
        if (Status loaded = source.LoadImage(options.referencePath); !loaded) return ReportBadFile(loaded.message());
    }
    ImageCompressor compressor;
    compressor.SetMethod(options.method);
    if (Status decoded = DecodeResultFile(compressor, options.codedPath); !decoded)
        return ReportBadFile(decoded.message());
    if (measured) {
        const RgbImage& reference = *source.SourceImage().rgb;
        if (compressor.ReconstructionRows() != static_cast<std::uint32_t>(reference.height) ||
            compressor.ReconstructionColumns() != static_cast<std::uint32_t>(reference.width))
            return ReportBadFile(options.codedPath + ": its image is " + std::to_string(compressor.ReconstructionColumns()) +
                                 " x " + std::to_string(compressor.ReconstructionRows()) + " pixels, " +
                                 options.referencePath + " is " + std::to_string(reference.width) + " x " +
                                 std::to_string(reference.height));
        if (Status reported = ReportFileRow(compressor.MeasuredAgainst(reference, StepOrigin::DecodedFile, 0), layout, csv);
            !reported)
            return ReportBadFile(reported.message());
    }
    if (Status written = WriteOutputs(compressor, options.outputs); !written) return ReportBadFile(written.message());
    return kExitOk;
}

int RunApply(const CLI::App& command, const ApplyOptions& options) {
    std::string error;
    if (!CheckOutputKinds(options.outputs, error)) return ReportUsageError(command, error);
    const std::size_t books = options.codebooks.size();
    if (books != 1 && books != 3) return ReportUsageError(command, "apply takes an image and one or three codebook files");
    std::array<std::string, 3> paths;
    std::array<int, 3> positions{};
    for (std::size_t c = 0; c < 3; ++c) {
        if (books == 1) {  // its first three codebooks
            paths[c] = options.codebooks[0];
            positions[c] = static_cast<int>(c) + 1;
        } else if (!SplitSection(options.codebooks[c], paths[c], positions[c])) {
            return ReportUsageError(command, "no codebook 0 in " + options.codebooks[c] + " (sections count from 1)");
        }
    }
    std::vector<std::string> outputs = options.outputs;
    outputs.push_back(options.resultsPath);
    if (int refused = CheckOutputPaths(command, outputs, {options.imagePath, paths[0], paths[1], paths[2]});
        refused != kExitOk)
        return refused;
    const ResultsCsvLayout layout = ResultsCsvLayoutFor(options.method);
    CsvResults csv;
    if (Status opened = csv.Open(options.resultsPath, ResultsCsvHeader(layout)); !opened)
        return ReportBadFile(opened.message());

    if (int refused = CheckSameColourSpace(paths, positions); refused != kExitOk) return refused;

    ImageCompressor compressor;
    compressor.SetMethod(options.method);
    if (Status loaded = compressor.LoadImage(options.imagePath); !loaded) return ReportBadFile(loaded.message());
    const Status applied =
        books == 1 ? compressor.ApplyCodebookFile(paths[0]) : compressor.ApplyCodebookFiles(paths, positions);
    if (!applied) return ReportBadFile(applied.message());

    if (Status reported = ReportFileRow(compressor.Result(StepOrigin::AppliedCodebook, 0), layout, csv); !reported)
        return ReportBadFile(reported.message());
    if (Status written = WriteOutputs(compressor, options.outputs); !written) return ReportBadFile(written.message());
    return kExitOk;
}

int RunInfo(const CLI::App& command, const InfoOptions& options) {
    switch (ResultFileKindOf(options.path)) {
        case ResultFileKind::Coded:
        case ResultFileKind::Huffman:
        case ResultFileKind::Arithmetic:
        case ResultFileKind::Contextual: return DescribeCodedImage(options.path);
        case ResultFileKind::Codebook: return DescribeCodebookFile(options.path);
        default:
            return ReportUsageError(command,
                                    "cannot tell what " + options.path + " holds (use .mqc, .huf, .art, .mqz or .cod)");
    }
}

}  // namespace pictora::cli
