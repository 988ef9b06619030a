#pragma once

#include <string>

#include "support/Status.h"

namespace pictora::cli {

// The --results file: rows gathered during a run and written at its end.
// Opening writes the header at once, so an unwritable path is reported
// before a long run rather than after it. Without a path it does nothing.
class CsvResults {
public:
    Status Open(const std::string& path, const std::string& header);
    void Add(const std::string& line);
    Status Close() const;

private:
    Status Write() const;

    std::string path_;
    std::string text_;
};

}  // namespace pictora::cli
