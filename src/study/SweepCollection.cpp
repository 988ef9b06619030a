#include "study/SweepCollection.h"

#include <filesystem>
#include <system_error>

#include "study/SweepCharts.h"
#include "study/SweepCurves.h"
#include "study/SweepPartFile.h"
#include "study/SweepReport.h"
#include "study/SweepVersions.h"
#include "support/FileIO.h"
#include "support/NumberText.h"

namespace pictora {

bool PartIsComplete(const SweepJobList& list, std::size_t job) {
    std::vector<SweepRow> rows;
    return static_cast<bool>(ReadPart(PartPath(list, job), JobDescription(list, job), rows));
}

std::vector<std::size_t> PendingJobs(const SweepJobList& list) {
    std::vector<std::size_t> pending;
    for (std::size_t job = 0; job < list.jobs.size(); ++job)
        if (!PartIsComplete(list, job)) pending.push_back(job);
    return pending;
}

Status CollectSweep(const SweepJobList& list, const CollectionOptions& options, std::vector<SetSummaryRow>& summary) {
    if (Status settled = SettleSweepVersions(list); !settled) return settled;
    std::vector<SweepRow> rows;
    std::string missing;
    std::size_t missingCount = 0;
    for (std::size_t job = 0; job < list.jobs.size(); ++job) {
        const std::string path = PartPath(list, job);
        std::error_code failure;
        if (!std::filesystem::exists(path, failure)) {
            ++missingCount;
            missing += "\n  job " + std::to_string(job) + " (" + JobDescription(list, job) + "): " + path;
            continue;
        }
        std::vector<SweepRow> part;
        if (Status read = ReadPart(path, JobDescription(list, job), part); !read) return read;
        rows.insert(rows.end(), part.begin(), part.end());
    }
    if (missingCount > 0)
        return Status::Error(ErrorKind::FileAccess, list.folder + ": " + std::to_string(missingCount) + " of " +
                                                        CountText(list.jobs.size(), "job", "jobs") +
                                                        (missingCount == 1 ? " has" : " have") + " no part yet:" +
                                                        missing);

    std::string results = SweepResultsHeader() + "\n";
    for (const SweepRow& row : rows) results += FormatSweepLine(row) + "\n";
    if (Status written = WriteFileAtomically(list.folder + "/results.csv", results); !written) return written;
    const std::vector<ImageCurves> curves = GroupCurves(rows);
    const std::vector<BdRateRow> bdRates = ComputeBdRates(curves, BdRateMeasures(list));
    if (Status written = WriteFileAtomically(list.folder + "/bd-rate.csv", FormatBdRateCsv(bdRates)); !written)
        return written;
    summary = SummarizeBdRates(bdRates);
    if (Status written = WriteFileAtomically(list.folder + "/summary.csv", FormatSummaryCsv(summary)); !written)
        return written;
    for (const ImageCurves& image : curves) {
        const std::string folder = list.folder + "/" + std::filesystem::path(image.image).stem().string();
        if (Status drawn = WriteSweepCharts(image, folder); !drawn) return drawn;
    }
    if (!options.writeReport) return Status::Ok();
    std::vector<ImageCrops> crops(list.imageNames.size());
    for (std::size_t image = 0; image < list.imageNames.size(); ++image) {
        crops[image].image = list.imageNames[image];
        if (Status made = MakeImageCrops(list, image, rows, crops[image].crops); !made) return made;
    }
    const SweepReportContent report{&list,     options.programVersion, SweepVersionsText(list), &summary,
                                    &bdRates, &curves,                &crops};
    return WriteFileAtomically(list.folder + "/report.html", FormatSweepReport(report));
}

}  // namespace pictora
