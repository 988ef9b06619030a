#include "study/SweepPartFile.h"

#include <zlib.h>

#include <charconv>
#include <cstdint>
#include <string_view>

#include "support/FileIO.h"
#include "support/NumberText.h"

namespace pictora {

// A part file is text of lines each ended by one '\n' (no '\r'), in bytes:
//
//   pictora-sweep-part 2          the signature and the format's version
//   job DESCRIPTION               JobDescription() of the job that wrote it
//   rows N                        N, the job's points, in decimal digits
//   HEADER                        SweepResultsHeader(), exactly
//   ROW                           N lines, each one FormatSweepLine()
//   end N CCCCCCCC                the same N again and the CRC-32 (zlib's,
//                                 8 lowercase hex digits) of every byte
//                                 before this line: the completeness mark
//
// and nothing after the last '\n'. A part is written whole to a temporary
// file and renamed, yet the trailing mark still tells a part cut short (a
// copy between hosts, a full disk) from a complete one, and the checksum a
// part changed since (a digit edited by hand still reads as a number). The
// reader takes a part only when every line is where it belongs, the
// description is the job's own, every row reads back and the checksum
// matches. Parts of version 1, without a checksum, are refused like damaged
// ones: a resumed sweep runs their jobs again.

namespace {

constexpr std::string_view kSignature = "pictora-sweep-part 2";
constexpr std::uint64_t kMaxPartBytes = std::uint64_t{1} << 30;

// Cuts `text` at the next '\n'; false when there is none.
bool NextLine(std::string_view& text, std::string_view& line) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

bool ReadCount(std::string_view line, std::string_view prefix, std::size_t& count) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    line.remove_prefix(prefix.size());
    if (line.empty() || line[0] == '+' || line[0] == '-') return false;
    const auto result = std::from_chars(line.data(), line.data() + line.size(), count);
    return result.ec == std::errc{} && result.ptr == line.data() + line.size();
}

std::string Checksum(std::string_view text) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most 4 GiB a call; a part is far smaller (kMaxPartBytes).
    crc = crc32(crc, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    return FormatC("%08lx", static_cast<unsigned long>(crc));
}

// "end N CCCCCCCC": the count and the checksum.
bool ReadMark(std::string_view line, std::size_t& count, std::string_view& checksum) {
    constexpr std::size_t kChecksumDigits = 8;
    if (line.size() < kChecksumDigits + 1 || line[line.size() - kChecksumDigits - 1] != ' ') return false;
    checksum = line.substr(line.size() - kChecksumDigits);
    return ReadCount(line.substr(0, line.size() - kChecksumDigits - 1), "end ", count);
}

}  // namespace

std::string FormatPart(const std::string& description, const std::vector<SweepRow>& rows) {
    const std::string count = std::to_string(rows.size());
    std::string text = std::string(kSignature) + "\njob " + description + "\nrows " + count + "\n" +
                       SweepResultsHeader() + "\n";
    for (const SweepRow& row : rows) text += FormatSweepLine(row) + "\n";
    return text + "end " + count + " " + Checksum(text) + "\n";
}

Status WritePart(const std::string& path, const std::string& description, const std::vector<SweepRow>& rows) {
    return WriteFileAtomically(path, FormatPart(description, rows));
}

Status ReadPart(const std::string& path, const std::string& description, std::vector<SweepRow>& rows) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes, kMaxPartBytes); !read) return read;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    auto refuse = [&path](const std::string& why) {
        return Status::Error(ErrorKind::DamagedFile, "damaged sweep part: " + why).About(path);
    };
    std::string_view line;
    if (!NextLine(text, line) || line != kSignature) return refuse("no part signature");
    if (!NextLine(text, line) || line.substr(0, 4) != "job ") return refuse("no job line");
    if (line.substr(4) != description) return refuse("written for another job (" + std::string(line.substr(4)) + ")");
    std::size_t count = 0;
    if (!NextLine(text, line) || !ReadCount(line, "rows ", count)) return refuse("no row count");
    if (!NextLine(text, line) || line != SweepResultsHeader()) return refuse("no results header");
    std::vector<SweepRow> read;
    for (std::size_t k = 0; k < count; ++k) {
        if (!NextLine(text, line)) return refuse("cut short after " + std::to_string(k) + " rows");
        SweepRow row;
        if (Status parsed = ParseSweepLine(line, row); !parsed)
            return refuse("row " + std::to_string(k + 1) + ": " + parsed.message());
        read.push_back(std::move(row));
    }
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size() - text.size());
    std::size_t marked = 0;
    std::string_view checksum;
    if (!NextLine(text, line) || !ReadMark(line, marked, checksum) || marked != count)
        return refuse("no completeness mark");
    if (checksum != Checksum(content)) return refuse("its checksum does not match its content");
    if (!text.empty()) return refuse("bytes after the completeness mark");
    rows = std::move(read);
    return Status::Ok();
}

}  // namespace pictora
