// pictora-cli sweep: a rate-distortion study as independent jobs, each
// writing a part file, merged by the collection into the results, the
// BD-rates and the charts.
#include "cli/SweepCommand.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <span>
#include <system_error>
#include <thread>

#include <unistd.h>

#include "cli/Commands.h"
#include "study/SweepCharts.h"
#include "study/SweepCurves.h"
#include "study/SweepJobs.h"
#include "study/SweepPartFile.h"
#include "cli/SweepPlanCommands.h"
#include "cli/SweepProgress.h"
#include "study/SweepRunner.h"
#include "support/FileIO.h"

namespace pictora::cli {
namespace {

// The shell's code for a command ended by SIGINT.
constexpr int kExitInterrupted = 130;

Status WriteText(const std::string& path, const std::string& text) {
    return WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool PartIsComplete(const SweepJobList& list, std::size_t job) {
    std::vector<SweepPoint> points;
    return static_cast<bool>(ReadPart(PartPath(list, job), JobDescription(list, job), points));
}

Status CreateFolder(const std::string& folder) {
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) return Status::Error(ErrorKind::FileAccess, "cannot create the folder: " + failure.message()).About(folder);
    return Status::Ok();
}

int ReportRunFailure(const Status& failure, const SweepRunOutcome& outcome) {
    if (!failure) return ReportBadFile(failure.message());
    if (outcome.interrupted) {
        std::fprintf(stderr, "pictora-cli: sweep interrupted; the %zu jobs finished are kept and a new run "
                             "resumes from them\n", outcome.finished);
        return kExitInterrupted;
    }
    return kExitOk;
}

// Merges every job's part into the results, the BD-rates and the charts.
int Collect(const SweepJobList& list) {
    std::vector<SweepPoint> points;
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
        std::vector<SweepPoint> part;
        if (Status read = ReadPart(path, JobDescription(list, job), part); !read) return ReportBadFile(read.message());
        points.insert(points.end(), part.begin(), part.end());
    }
    if (missingCount > 0)
        return ReportBadFile(list.folder + ": " + std::to_string(missingCount) + " of " +
                             std::to_string(list.jobs.size()) + " jobs have no part yet:" + missing);

    std::string results = SweepResultsHeader() + "\n";
    for (const SweepPoint& point : points) results += FormatSweepLine(point) + "\n";
    if (Status written = WriteText(list.folder + "/results.csv", results); !written)
        return ReportBadFile(written.message());
    const std::vector<ImageCurves> curves = GroupCurves(points);
    if (Status written = WriteText(list.folder + "/bd-rate.csv", FormatBdRateCsv(curves)); !written)
        return ReportBadFile(written.message());
    for (const ImageCurves& image : curves) {
        const std::string folder = list.folder + "/" + std::filesystem::path(image.image).stem().string();
        if (Status drawn = WriteSweepCharts(image, folder); !drawn) return ReportBadFile(drawn.message());
    }
    return kExitOk;
}

int RunOneJob(const SweepJobList& list, std::size_t job) {
    if (PartIsComplete(list, job)) return kExitOk;
    SweepRunOutcome outcome;
    return ReportRunFailure(RunSweepJobs(list, {job}, 1, false, outcome), outcome);
}

int RunMissingJobsAndCollect(const SweepOptions& options, const SweepJobList& list) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::size_t> pending;
    for (std::size_t job = 0; job < list.jobs.size(); ++job)
        if (!PartIsComplete(list, job)) pending.push_back(job);
    const unsigned concurrency = options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    SweepRunOutcome outcome;
    Status ran = RunSweepJobs(list, pending, concurrency, ::isatty(STDERR_FILENO) != 0, outcome);
    if (!ran || outcome.interrupted) return ReportRunFailure(ran, outcome);
    const int collected = Collect(list);
    if (collected != kExitOk) return collected;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "sweep: %zu jobs (%zu run now, %zu already done) in %s; results in %s\n", list.jobs.size(),
                 pending.size(), list.jobs.size() - pending.size(), FormatDuration(elapsed).c_str(),
                 list.folder.c_str());
    return kExitOk;
}

}  // namespace

int RunSweep(const CLI::App& command, const SweepOptions& options) {
    SweepJobList list;
    if (Status listed = ListSweepJobs(options, list); !listed) return ReportUsageError(command, listed.message());
    if (options.job && *options.job >= list.jobs.size())
        return ReportUsageError(command, "--job " + std::to_string(*options.job) + ": the sweep has " +
                                             std::to_string(list.jobs.size()) + " jobs");
    if (options.plan) {
        std::error_code failure;
        const std::string program = std::filesystem::read_symlink("/proc/self/exe", failure).string();
        if (failure) return ReportBadFile("/proc/self/exe: " + failure.message());
        for (const std::string& line : PlanCommands(program, options, list)) std::printf("%s\n", line.c_str());
        return kExitOk;
    }
    if (options.collect) return Collect(list);
    if (Status created = CreateFolder(PartsFolder(list)); !created) return ReportBadFile(created.message());
    if (options.job) return RunOneJob(list, *options.job);
    return RunMissingJobsAndCollect(options, list);
}

}  // namespace pictora::cli
