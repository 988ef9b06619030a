#include "cli/ResultsTable.h"

#include <cstring>

namespace pictora::cli {
namespace {

// Column widths in characters, wide enough for the captions and the usual values.
constexpr int kWidths[kResultsColumnCount] = {5, 12, 6, 6, 6, 9, 6, 6, 6, 13, 7, 7, 7, 8, 8, 7, 6, 7};

}  // namespace

int DisplayWidth(std::string_view text) {
    int width = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
    return width;
}

void ResultsTable::PrintHeader() const { PrintCells(ResultsColumnCaptions().data()); }

void ResultsTable::PrintRow(const ResultsRow& row) const {
    const char* cells[kResultsColumnCount];
    for (int i = 0; i < kResultsColumnCount; ++i) cells[i] = row[static_cast<std::size_t>(i)].c_str();
    PrintCells(cells);
}

void ResultsTable::PrintCells(const char* const* cells) const {
    for (int i = 0; i < kResultsColumnCount; ++i) {
        const int padding = kWidths[i] - DisplayWidth(cells[i]);
        std::fprintf(out_, "%s%*s%s", i == 0 ? "" : " ", padding > 0 ? padding : 0, "", cells[i]);
    }
    std::fputc('\n', out_);
    std::fflush(out_);
}

}  // namespace pictora::cli
