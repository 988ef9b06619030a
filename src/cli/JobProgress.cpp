#include "cli/JobProgress.h"

#include <cstdint>

#include "support/NumberText.h"

namespace pictora::cli {
namespace {

constexpr std::size_t kBarWidth = 30;

}  // namespace

std::string FormatDuration(double seconds) {
    const std::uint64_t whole = seconds > 0.0 ? static_cast<std::uint64_t>(seconds) : 0;
    if (whole < 60) return FormatC("%llu s", static_cast<unsigned long long>(whole));
    if (whole < 3600) return FormatC("%llu min %02llu s", static_cast<unsigned long long>(whole / 60),
                                     static_cast<unsigned long long>(whole % 60));
    return FormatC("%llu h %02llu min", static_cast<unsigned long long>(whole / 3600),
                   static_cast<unsigned long long>(whole / 60 % 60));
}

std::string FormatJobProgress(std::size_t done, std::size_t total, double elapsedSeconds) {
    const std::size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
    std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
                       std::to_string(done) + "/" + CountText(total, "job", "jobs") + ", " +
                       FormatDuration(elapsedSeconds);
    if (done > 0 && done < total)
        line += ", about " + FormatDuration(elapsedSeconds / static_cast<double>(done) *
                                            static_cast<double>(total - done)) + " left";
    return line;
}

}  // namespace pictora::cli
