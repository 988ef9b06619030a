#include "study/SweepCollection.h"

#include <filesystem>
#include <system_error>

#include "study/SweepCharts.h"
#include "study/SweepCurves.h"
#include "study/SweepPartFile.h"
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

Status CollectSweep(const SweepJobList& list, std::vector<SetSummaryRow>& summary) {
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
    const std::vector<BdRateRow> bdRates = ComputeBdRates(curves);
    if (Status written = WriteFileAtomically(list.folder + "/bd-rate.csv", FormatBdRateCsv(bdRates)); !written)
        return written;
    summary = SummarizeBdRates(bdRates);
    if (Status written = WriteFileAtomically(list.folder + "/summary.csv", FormatSummaryCsv(summary)); !written)
        return written;
    for (const ImageCurves& image : curves) {
        const std::string folder = list.folder + "/" + std::filesystem::path(image.image).stem().string();
        if (Status drawn = WriteSweepCharts(image, folder); !drawn) return drawn;
    }
    return Status::Ok();
}

}  // namespace pictora
