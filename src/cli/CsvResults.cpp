#include "cli/CsvResults.h"

#include <cstdint>
#include <span>

#include "support/FileIO.h"

namespace pictora::cli {

Status CsvResults::Open(const std::string& path, const std::string& header) {
    path_ = path;
    text_ = header + "\n";
    return Write();
}

void CsvResults::Add(const std::string& line) { text_ += line + "\n"; }

Status CsvResults::Close() const { return Write(); }

Status CsvResults::Write() const {
    if (path_.empty()) return Status::Ok();
    return WriteFileAtomically(path_, std::span(reinterpret_cast<const std::uint8_t*>(text_.data()), text_.size()));
}

}  // namespace pictora::cli
