#pragma once

#include <string>

#include "support/Status.h"

namespace pictora::cli {

// The --results file. Opening only checks that the file can be written, so
// an unwritable path is reported before a long run rather than after it, and
// an earlier file at the path stays as it was. Every row added rewrites the
// whole file through a temporary file in the same folder renamed over it:
// a run stopped at any moment (Ctrl+C, say) leaves either the earlier file
// or every row finished so far. Without a path it does nothing.
class CsvResults {
public:
    Status Open(const std::string& path, const std::string& header);
    Status Add(const std::string& line);
    // Writes the header alone when no row came.
    Status Close();

private:
    Status Write();

    std::string path_;
    std::string text_;
    bool written_ = false;
};

}  // namespace pictora::cli
