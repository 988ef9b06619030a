#pragma once

#include <string>

#include "study/SweepJobs.h"
#include "support/Status.h"

namespace pictora {

// DIR/versions.txt: the library and version behind every codec and measure
// a sweep's figures come from, one "NAME: LIBRARY VERSION" line each (the
// codecs in the sweep's order, then Butteraugli when measured). Figures from
// different library versions must not be merged unknowingly.
std::string SweepVersionsText(const SweepJobList& list);

// Writes versions.txt when the folder has none; refuses (InvalidSetting,
// naming both) when the one there lists other versions than this program's,
// so parts written with other libraries are never merged with these.
Status SettleSweepVersions(const SweepJobList& list);

}  // namespace pictora
