#include "study/SweepRow.h"

#include <charconv>
#include <vector>

#include "support/NumberText.h"

namespace pictora {
namespace {

constexpr std::size_t kDimensionCount = std::tuple_size_v<decltype(kGridDimensions)>;
// image, width, height, codec; the dimensions; step, setting, bytes, bpp, psnr, ssim, msssim, butteraugli,
// butteraugli_3norm.
constexpr std::size_t kFieldCount = 4 + kDimensionCount + 9;
constexpr std::size_t kFirstDimension = 4;
constexpr std::size_t kStep = kFirstDimension + kDimensionCount;

std::string Real(double value) { return FormatC("%.17g", value); }
std::string OptionalReal(const std::optional<double>& value) { return value ? Real(*value) : std::string(); }

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

template <typename T>
bool ReadWhole(std::string_view text, T& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

bool ReadReal(std::string_view text, double& value) { return !text.empty() && ParseReal(text, value); }

bool ReadOptionalReal(std::string_view text, std::optional<double>& value) {
    if (text.empty()) {
        value.reset();
        return true;
    }
    double read = 0.0;
    if (!ReadReal(text, read)) return false;
    value = read;
    return true;
}

// A trained row's settings and step, all present, and no knob.
bool ReadTrainedOrigin(const std::vector<std::string_view>& fields, SweepRow& row) {
    TrainedOrigin origin;
    std::size_t field = kFirstDimension;
    bool read = true;
    ForEachGridDimension([&](const auto& dimension) {
        read = read && dimension.read(fields[field++], origin.cell.*dimension.inCell);
    });
    if (!read || !ReadWhole(fields[kStep], origin.step) || !fields[kStep + 1].empty()) return false;
    row.origin = origin;
    return true;
}

// A rung's codec and knob, and no Pictora settings or step.
bool ReadLadderOrigin(const std::vector<std::string_view>& fields, SweepRow& row) {
    const ReferenceCodecTraits* codec = ReferenceCodecNamed(fields[3]);
    if (codec == nullptr) return false;
    for (std::size_t k = kFirstDimension; k <= kStep; ++k)
        if (!fields[k].empty()) return false;
    LadderOrigin origin{codec->kind, 0.0};
    if (!ReadReal(fields[kStep + 1], origin.knob)) return false;
    row.origin = origin;
    return true;
}

// Both of Butteraugli's distances or neither.
bool ReadButteraugli(std::string_view maxNorm, std::string_view norm3, std::optional<ButteraugliDistance>& distance) {
    if (maxNorm.empty() && norm3.empty()) {
        distance.reset();
        return true;
    }
    ButteraugliDistance read;
    if (!ReadReal(maxNorm, read.maxNorm) || !ReadReal(norm3, read.norm3)) return false;
    distance = read;
    return true;
}

}  // namespace

std::string SweepResultsHeader() {
    std::string header = "image,width,height,codec";
    ForEachGridDimension([&](const auto& dimension) { header += "," + std::string(dimension.name); });
    return header + ",step,setting,bytes,bpp,psnr,ssim,msssim,butteraugli,butteraugli_3norm";
}

std::string FormatSweepLine(const SweepRow& row) {
    std::string line = row.image + "," + std::to_string(row.width) + "," + std::to_string(row.height) + ",";
    if (const TrainedOrigin* trained = row.Trained()) {
        line += std::string(kPictoraCodecName);
        ForEachGridDimension([&](const auto& dimension) {
            line += "," + ValueText(trained->cell.*dimension.inCell, ValueStyle::Exact);
        });
        line += "," + std::to_string(trained->step) + ",";
    } else {
        const LadderOrigin& rung = *row.Ladder();
        line += std::string(TraitsOf(rung.codec).name) + std::string(kDimensionCount + 1, ',') + "," + Real(rung.knob);
    }
    const RateQualityPoint& figures = row.figures;
    return line + "," + std::to_string(figures.bytes) + "," + Real(figures.bpp) + "," + Real(figures.quality.psnrMean) +
           "," + OptionalReal(figures.similarity.ssim) + "," + OptionalReal(figures.similarity.msSsim) +
           ButteraugliCsvFields(figures.butteraugli);
}


Status ParseSweepLine(std::string_view line, SweepRow& row) {
    const std::vector<std::string_view> fields = SplitFields(line);
    auto refuse = [&line] {
        return Status::Error(ErrorKind::DamagedFile, "not a row of sweep results: " + std::string(line.substr(0, 80)));
    };
    if (fields.size() != kFieldCount || fields[0].empty()) return refuse();
    SweepRow read;
    read.image = std::string(fields[0]);
    const bool origin =
        fields[3] == kPictoraCodecName ? ReadTrainedOrigin(fields, read) : ReadLadderOrigin(fields, read);
    RateQualityPoint& figures = read.figures;
    if (!origin || !ReadWhole(fields[1], read.width) || !ReadWhole(fields[2], read.height) ||
        !ReadWhole(fields[kStep + 2], figures.bytes) || !ReadReal(fields[kStep + 3], figures.bpp) ||
        !ReadReal(fields[kStep + 4], figures.quality.psnrMean) ||
        !ReadOptionalReal(fields[kStep + 5], figures.similarity.ssim) ||
        !ReadOptionalReal(fields[kStep + 6], figures.similarity.msSsim) ||
        !ReadButteraugli(fields[kStep + 7], fields[kStep + 8], figures.butteraugli))
        return refuse();
    row = std::move(read);
    return Status::Ok();
}

}  // namespace pictora
