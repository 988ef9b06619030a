// pictora-cli compare: the reference codecs against an image at the size of a
// coded image (or a byte count), or at given settings, measured the way the
// training job measures its own reconstructions.
#include "cli/CompareCommand.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/CsvResults.h"
#include "cli/MethodOptions.h"
#include "cli/OptionValues.h"
#include "cli/OutputFiles.h"
#include "cli/TrainOptions.h"
#include "image/PngImage.h"
#include "measures/RateQualityPoint.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "reference/ReferenceCodecFactory.h"
#include "reference/SameSizeSearch.h"
#include "support/FileIO.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

// One row of the comparison: a codec at a setting with its file's figures,
// or a codec none of whose settings fits (no figures).
struct CompareRow {
    std::string codec;
    std::optional<double> knob;  // none for the coded image's own row
    std::optional<RateQualityPoint> figures;
};

std::string CsvLine(const CompareRow& row) {
    std::string line = row.codec + (row.knob ? FormatC(",%.17g", *row.knob) : ",");
    if (!row.figures) return line + ",,,,,,,,,,";
    const RateQualityPoint& figures = *row.figures;
    line += FormatC(",%llu,%.17g,%.17g", static_cast<unsigned long long>(figures.bytes), figures.bpp,
                    figures.quality.psnrMean);
    for (double psnr : figures.quality.psnr) line += FormatC(",%.17g", psnr);
    return line + CsvRealField(figures.similarity.ssim) + CsvRealField(figures.similarity.msSsim) +
           ButteraugliCsvFields(figures.butteraugli);
}

std::string Cell(const std::optional<double>& value, const char* format) {
    return value ? FormatC(format, *value) : "—";
}

void PrintHeader() {
    std::printf("%-8s %8s %10s %8s %10s %8s %8s\n", "codec", "setting", "bytes", "bpp", "pSNR (dB)", "SSIM", "MS-SSIM");
}

void PrintRow(const CompareRow& row) {
    if (!row.figures) {
        std::printf("%-8s no setting fits\n", row.codec.c_str());
        return;
    }
    const RateQualityPoint& figures = *row.figures;
    // Padded by characters, not bytes: "—" takes three bytes.
    auto padded = [](const std::string& text, int width) {
        int characters = 0;
        for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
        return std::string(static_cast<std::size_t>(std::max(0, width - characters)), ' ') + text;
    };
    const std::string setting = row.knob ? ReferenceCodec::KnobText(*row.knob) : "";
    std::printf("%-8s %8s %10llu %8s %10s %8s %8s\n", row.codec.c_str(), setting.c_str(),
                static_cast<unsigned long long>(figures.bytes), FormatC("%.4f", figures.bpp).c_str(),
                FormatC("%.2f", figures.quality.psnrMean).c_str(),
                padded(Cell(figures.similarity.ssim, "%.4f"), 8).c_str(),
                padded(Cell(figures.similarity.msSsim, "%.4f"), 8).c_str());
    std::fflush(stdout);
}

// Encodings done so far on one rewritten terminal line, once the work has
// taken more than a second.
class CompareProgress {
public:
    explicit CompareProgress(bool terminal) : terminal_(terminal), start_(std::chrono::steady_clock::now()) {}
    ~CompareProgress() { Clear(); }

    EncodingProgress For(const std::string& codec) {
        if (!terminal_) return {};
        return [this, codec](std::size_t done, std::size_t total) {
            if (std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
            std::fprintf(stderr, "\rcompare: %s, encoding %zu of about %zu   ", codec.c_str(), done, total);
            std::fflush(stderr);
            shown_ = true;
        };
    }
    void Clear() {
        if (shown_) std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    bool terminal_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
};

std::string Stem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

// A reference file is named after the image, so an image named like one (a
// PNG called photo-jpeg-90.jpg) is left alone rather than replaced.
Status WriteReference(const CompareOptions& options, const ReferenceCodec& codec, const std::string& knob,
                      const std::vector<std::uint8_t>& bytes) {
    if (options.outputFolder.empty()) return Status::Ok();
    const std::string file = (std::filesystem::path(options.outputFolder) /
                              (Stem(options.imagePath) + "-" + std::string(codec.Name()) + "-" + knob + "." +
                               std::string(codec.Extension())))
                                 .string();
    for (const std::string& input : {options.imagePath, options.likePath})
        if (!input.empty() && SameFile(file, input))
            return Status::Error(ErrorKind::FileAccess, "cannot write " + file + ": it is the input " + input)
                .Concerning(file);
    return WriteFileAtomically(file, bytes);
}

// Decodes a reference file with its own codec and measures it against the image.
Status MeasureReference(const ReferenceCodec& codec, const RgbImage& image, const std::vector<std::uint8_t>& bytes,
                        MeasureSet measures, RateQualityPoint& figures) {
    RgbImage decoded;
    if (Status read = codec.Decode(bytes, decoded); !read) return read;
    return MeasurePair(image, decoded, bytes.size(), measures, figures);
}

// The coded file given with --like, decoded (and deblocked when asked) and
// measured against the image.
Status MeasureCodedFile(const std::string& path, const MethodSettings& method, const RgbImage& image,
                        MeasureSet measures, RateQualityPoint& figures) {
    ImageCompressor compressor;
    compressor.SetMethod(method);
    if (Status decoded = DecodeResultFile(compressor, path); !decoded) return decoded;
    const std::int64_t size = FileSize(path);
    if (size < 0) return Status::Error(ErrorKind::FileAccess, "cannot examine " + path).Concerning(path);
    return MeasurePair(image, compressor.ReconstructedImage(), static_cast<std::uint64_t>(size), measures, figures)
        .About(path);
}

}  // namespace

std::vector<std::string> AllCodecNames() {
    std::vector<std::string> names;
    for (const ReferenceCodecTraits& codec : kReferenceCodecs) names.emplace_back(codec.name);
    return names;
}

CLI::App* DeclareCompareCommand(CLI::App& program, CompareOptions& options) {
    CLI::App* compare = program.add_subcommand(
        "compare", "Encodes an image with JPEG, WebP, AVIF and JPEG XL at the size of a coded image (or of N "
                   "bytes: the best setting whose file is no larger), or at given settings, and measures each "
                   "file's decoded image against the image: bytes, bpp, pSNR, SSIM, MS-SSIM.");
    compare->add_option("IMAGE", options.imagePath, "8-bit RGB PNG image")->required();
    CLI::Option* like = compare->add_option("--like", options.likePath,
                                            "the size of this coded image (.mqc, .huf, .art or .mqz), which is also "
                                            "decoded and measured as the first row")
                            ->type_name("CODED");
    CLI::Option* bytes = compare
                             ->add_option_function<std::string>(
                                 "--bytes",
                                 [&options](const std::string& text) {
                                     if (!ParseUnsigned(text, options.bytes))
                                         throw CLI::ValidationError("--bytes " + text +
                                                                    ": a size is a whole number of bytes, such as 30000");
                                 },
                                 "a size in bytes")
                             ->type_name("N");
    CLI::Option* setting = compare->add_option("--setting", options.settings, "codec settings: quality, quantizer "
                                                                               "or distance")
                               ->delimiter(',')
                               ->type_name("V[,V]...");
    like->excludes(bytes)->excludes(setting);
    bytes->excludes(setting);
    compare->add_option("--codecs", options.codecs, "the codecs, in the order of the rows (jpeg,webp,avif,jxl)")
        ->delimiter(',')
        ->type_name("L");
    compare->add_option("-o", options.outputFolder, "write every reference file as DIR/STEM-CODEC-SETTING.EXT")
        ->type_name("DIR");
    compare->add_option("--results", options.resultsPath, "also write the rows as CSV")->type_name("FILE.csv");
    DeclareMeasuresOption(*compare, options.measures, "file");
    DeclareMethodOptions(*compare, options.method, MethodOptionSet::DeblockOnly);
    return compare;
}

int RunCompare(const CLI::App& command, const CompareOptions& options) {
    if (options.likePath.empty() && command.count("--bytes") == 0 && options.settings.empty())
        return ReportUsageError(command, "give one of --like CODED, --bytes N or --setting V[,V]...");
    if (options.likePath.empty() && options.method.deblock != DeblockStrength::Off)
        return ReportUsageError(command, "--deblock needs --like CODED");
    std::vector<std::unique_ptr<ReferenceCodec>> codecs;
    for (const std::string& name : options.codecs) {
        std::unique_ptr<ReferenceCodec> codec;
        if (Status made = MakeReferenceCodec(name, codec); !made) return ReportUsageError(command, made.message());
        codecs.push_back(std::move(codec));
    }
    std::vector<double> knobs;
    for (const std::string& text : options.settings) {
        double knob = 0.0;
        if (!ParseReal(text, knob)) return ReportUsageError(command, "--setting: invalid value " + text);
        for (const auto& codec : codecs) {
            const std::vector<double> grid = codec->KnobGrid();
            if (std::find(grid.begin(), grid.end(), knob) == grid.end())
                return ReportUsageError(command, "--setting: " + text + " is not a setting of " + std::string(codec->Name()));
        }
        knobs.push_back(knob);
    }

    std::string error;
    if (!CheckOutputsAreNotInputs({options.resultsPath}, {options.imagePath, options.likePath}, error))
        return ReportUsageError(command, error);
    // The folder first: the results file may be one of its files.
    CreatedFolder folder;
    if (!options.outputFolder.empty()) {
        if (Status made = folder.Create(options.outputFolder); !made) return ReportBadFile(made.message());
    }
    CsvResults csv;
    if (Status opened = csv.Open(options.resultsPath,
                                   "codec,setting,bytes,bpp,psnr,psnr_r,psnr_g,psnr_b,ssim,msssim,butteraugli,"
                                   "butteraugli_3norm");
        !opened)
        return ReportBadFile(opened.message());
    RgbImage image;
    if (Status loaded = ReadPngFile(options.imagePath, image); !loaded) return ReportBadFile(loaded.message());

    std::uint64_t target = options.bytes;
    // The table's header comes with its first row, so a refused --like file
    // is told without one.
    bool headed = false;
    auto emit = [&csv, &headed](const CompareRow& row) {
        if (!headed) PrintHeader();
        headed = true;
        PrintRow(row);
        return csv.Add(CsvLine(row));
    };
    if (!options.likePath.empty()) {
        RateQualityPoint figures;
        if (Status measured = MeasureCodedFile(options.likePath, options.method, image, options.measures, figures); !measured)
            return ReportBadFile(measured.message());
        target = figures.bytes;
        if (Status added = emit({"pictora", std::nullopt, figures}); !added) return ReportBadFile(added.message());
    }

    CompareProgress progress(::isatty(STDERR_FILENO) != 0);
    for (const auto& codec : codecs) {
        const std::string name(codec->Name());
        std::vector<std::pair<double, std::vector<std::uint8_t>>> files;
        if (!knobs.empty()) {
            for (double knob : knobs) {
                std::vector<std::uint8_t> bytes;
                if (Status encoded = codec->Encode(image, knob, bytes); !encoded) return ReportBadFile(encoded.message());
                files.emplace_back(knob, std::move(bytes));
            }
        } else {
            FittedEncoding fitted;
            if (Status searched = EncodeAtSize(*codec, image, target, fitted, progress.For(name)); !searched)
                return ReportBadFile(searched.message());
            progress.Clear();
            if (!fitted.fits) {
                if (Status added = emit({name, std::nullopt, std::nullopt}); !added) return ReportBadFile(added.message());
                continue;
            }
            files.emplace_back(fitted.knob, std::move(fitted.bytes));
        }
        for (const auto& [knob, bytes] : files) {
            const std::string setting = ReferenceCodec::KnobText(knob);
            RateQualityPoint figures;
            if (Status measured = MeasureReference(*codec, image, bytes, options.measures, figures); !measured)
                return ReportBadFile(measured.message());
            if (Status written = WriteReference(options, *codec, setting, bytes); !written)
                return ReportBadFile(written.message());
            if (Status added = emit({name, knob, figures}); !added) return ReportBadFile(added.message());
        }
    }
    if (Status closed = csv.Close(); !closed) return ReportBadFile(closed.message());
    folder.Keep();
    return kExitOk;
}

}  // namespace pictora::cli
