#pragma once

#include <string>
#include <vector>

#include "study/SetSummary.h"

namespace pictora::cli {

// The set-level summary as aligned text: one line per family, codec and
// measure under a caption line, BD-rates in per cent with two decimals, "—"
// where no image has one.
std::string FormatSummaryTable(const std::vector<SetSummaryRow>& rows);

}  // namespace pictora::cli
