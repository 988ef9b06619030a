#pragma once

#include <cstdio>
#include <string_view>

#include "report/ResultsRow.h"

namespace pictora::cli {

// The characters of UTF-8 text, not its bytes (captions and legends carry
// accented letters and "×"), for aligning columns.
int DisplayWidth(std::string_view text);

// Prints results rows as aligned text columns under the list's captions.
class ResultsTable {
public:
    explicit ResultsTable(std::FILE* out) : out_(out) {}
    void PrintHeader() const;
    void PrintRow(const ResultsRow& row) const;

private:
    void PrintCells(const char* const* cells) const;
    std::FILE* out_;
};

}  // namespace pictora::cli
