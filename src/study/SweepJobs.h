#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "measures/RateQualityPoint.h"
#include "reference/ReferenceCodecTable.h"
#include "study/SweepGrid.h"
#include "support/Status.h"

namespace pictora {

// What a sweep studies: its images, the grid, the steps every cell trains
// from a new run, the reference codecs, and the folder its files go to.
struct SweepDefinition {
    std::vector<std::string> images;
    SweepGrid grid;
    std::uint32_t steps = 5;
    std::vector<ReferenceCodecKind> codecs{kAllReferenceCodecKinds.begin(), kAllReferenceCodecKinds.end()};
    MeasureSet measures = MeasureSet::All;  // what every point is measured by
    std::string outputFolder = "sweep";
};

enum class SweepJobKind { Training, Ladder };

// One independent piece of a sweep: an image trained with one cell of the
// grid, or an image encoded at every rung of one codec's ladder.
struct SweepJob {
    SweepJobKind kind = SweepJobKind::Training;
    std::size_t image = 0;  // index into SweepJobList::imagePaths
    SweepCell cell;         // for training
    ReferenceCodecKind codec = ReferenceCodecKind::Jpeg;  // for a ladder
};

// Every job of a sweep in the order its results are listed (by image, then
// the grid's cells, then the codecs), with what they share.
struct SweepJobList {
    std::vector<std::string> imagePaths;  // absolute
    std::vector<std::string> imageNames;  // file names without folders
    SweepGrid grid;
    std::uint32_t steps = 0;
    std::vector<ReferenceCodecKind> codecs;
    MeasureSet measures = MeasureSet::All;
    std::string folder;  // absolute
    std::vector<SweepJob> jobs;
};

// The jobs of the sweep. Refuses (InvalidSetting) two images whose file names
// are the same or differ only in case (their rows could not be told apart,
// and on a file system that ignores case they are one file), or whose names
// without extension would give their charts one folder; and names that would
// break a CSV field (a comma, a quote or a line break).
Status ListSweepJobs(const SweepDefinition& sweep, SweepJobList& list);

// Looks at every image's PNG header, the pixels left undecoded: refuses the
// first that cannot be read or that a job could not load (not a PNG, not
// RGB, too large), naming it.
Status CheckSweepImages(const SweepJobList& list);

// One line that identifies a job and everything its results depend on; a part
// file carries it, so a part written for other settings is never taken.
std::string JobDescription(const SweepJobList& list, std::size_t job);

// Where job `job` keeps its results: DIR/parts/job-K.part.
std::string PartsFolder(const SweepJobList& list);
std::string PartPath(const SweepJobList& list, std::size_t job);

// The arguments of `sweep` that describe this sweep again: the images, every
// setting's alternatives (reals in their shortest exact text), the steps, the
// codecs, the measures unless all, and the folder, all absolute and as given,
// unquoted.
std::vector<std::string> SweepArguments(const SweepJobList& list);

// The measures a sweep's BD-rates are computed by: pSNR and MS-SSIM, and
// Butteraugli's 3-norm when it was measured.
std::vector<QualityMeasure> BdRateMeasures(const SweepJobList& list);

}  // namespace pictora
