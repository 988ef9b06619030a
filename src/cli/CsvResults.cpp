#include "cli/CsvResults.h"

#include <cstdint>
#include <span>

#include "support/FileIO.h"

namespace pictora::cli {

Status CsvResults::Open(const std::string& path, const std::string& header) {
    path_ = path;
    text_ = header + "\n";
    written_ = false;
    return path_.empty() ? Status::Ok() : CheckWritable(path_);
}

Status CsvResults::Add(const std::string& line) {
    text_ += line + "\n";
    return Write();
}

Status CsvResults::Close() { return written_ ? Status::Ok() : Write(); }

Status CsvResults::Write() {
    if (path_.empty()) return Status::Ok();
    written_ = true;
    return WriteFileAtomically(path_, std::span(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size()));
}

}  // namespace pictora::cli
