#pragma once

#include <string>
#include <vector>

namespace pictora::testing {

// The comma-separated fields of one CSV line, empty ones included.
inline std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == ',') fields.emplace_back();
        else fields.back().push_back(c);
    }
    return fields;
}

}  // namespace pictora::testing
