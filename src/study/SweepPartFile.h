#pragma once

#include <string>
#include <vector>

#include "study/SweepRow.h"
#include "support/Status.h"

namespace pictora {

// The results of one finished job, kept in DIR/parts until the collection
// merges them; the format is described in SweepPartFile.cpp.
std::string FormatPart(const std::string& description, const std::vector<SweepRow>& rows);
// Writes the part atomically, so a job killed while writing leaves no part
// that reads as complete.
Status WritePart(const std::string& path, const std::string& description, const std::vector<SweepRow>& rows);

// Reads the part at `path`, which must be complete and written for the job
// `description` names; refuses anything else with a message naming the file.
Status ReadPart(const std::string& path, const std::string& description, std::vector<SweepRow>& rows);

}  // namespace pictora
