#include "study/SweepPoint.h"

#include <charconv>
#include <vector>

#include "support/NumberText.h"

namespace pictora::cli {
namespace {

constexpr std::size_t kFieldCount = 16;

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

// The Pictora settings, all present, or a reference point's, all empty.
bool ReadCell(const std::vector<std::string_view>& fields, SweepPoint& point) {
    bool allEmpty = true;
    for (std::size_t k = 4; k <= 9; ++k) allEmpty = allEmpty && fields[k].empty();
    if (point.codec != kPictoraCodecName) {
        point.cell.reset();
        point.step = 0;
        return allEmpty;
    }
    SweepCell cell;
    const auto colorSpace = ColorSpaceNamed(fields[4]);
    const auto filter = FilterNamed(fields[8]);
    if (!colorSpace || !filter || !ReadWhole(fields[5], cell.blockSide) || !ReadReal(fields[6], cell.radius) ||
        !ReadReal(fields[7], cell.alfa) || !ReadWhole(fields[9], point.step))
        return false;
    cell.colorSpace = *colorSpace;
    cell.filter = *filter;
    point.cell = cell;
    return true;
}

}  // namespace

std::string SweepResultsHeader() {
    return "image,width,height,codec,color_space,block,radius,alfa,filter,step,setting,bytes,bpp,psnr,ssim,msssim";
}

std::string FormatSweepLine(const SweepPoint& point) {
    std::string line = point.image + "," + std::to_string(point.width) + "," + std::to_string(point.height) + "," +
                       point.codec + ",";
    if (point.cell) {
        const SweepCell& cell = *point.cell;
        line += std::string(ColorSpaceName(cell.colorSpace)) + "," + std::to_string(cell.blockSide) + "," +
                Real(cell.radius) + "," + Real(cell.alfa) + "," + std::string(FilterName(cell.filter)) + "," +
                std::to_string(point.step) + ",";
    } else {
        line += ",,,,,,";
    }
    const RateQualityPoint& figures = point.figures;
    line += OptionalReal(point.setting) + "," + std::to_string(figures.bytes) + "," + Real(figures.bpp) + "," +
            Real(figures.quality.psnrMean) + "," + OptionalReal(figures.similarity.ssim) + "," +
            OptionalReal(figures.similarity.msSsim);
    return line;
}

Status ParseSweepLine(std::string_view line, SweepPoint& point) {
    const std::vector<std::string_view> fields = SplitFields(line);
    auto refuse = [&line] {
        return Status::Error(ErrorKind::DamagedFile, "not a row of sweep results: " + std::string(line.substr(0, 80)));
    };
    if (fields.size() != kFieldCount || fields[0].empty() || fields[3].empty()) return refuse();
    SweepPoint read;
    read.image = std::string(fields[0]);
    read.codec = std::string(fields[3]);
    if (!ReadWhole(fields[1], read.width) || !ReadWhole(fields[2], read.height) || !ReadCell(fields, read) ||
        !ReadOptionalReal(fields[10], read.setting) || read.setting.has_value() == read.IsPictora() ||
        !ReadWhole(fields[11], read.figures.bytes) || !ReadReal(fields[12], read.figures.bpp) ||
        !ReadReal(fields[13], read.figures.quality.psnrMean) || !ReadOptionalReal(fields[14], read.figures.similarity.ssim) ||
        !ReadOptionalReal(fields[15], read.figures.similarity.msSsim))
        return refuse();
    point = std::move(read);
    return Status::Ok();
}

}  // namespace pictora::cli
