// pictora-cli sweep: a rate-distortion study as independent jobs, each
// writing a part file, merged by the collection into the results, the
// BD-rates and the charts. The study itself is src/study's; this file reads
// the options and prints.
#include "cli/SweepCommand.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/InterruptWatch.h"
#include "cli/JobProgress.h"
#include "cli/OptionValues.h"
#include "cli/ShellQuote.h"
#include "cli/SummaryTable.h"
#include "cli/TrainOptions.h"
#include "support/NumberText.h"
#include "study/SweepCollection.h"
#include "study/SweepRunner.h"
#include "study/SweepVersions.h"

namespace pictora::cli {
namespace {

// The shell's code for a command ended by SIGINT.
constexpr int kExitInterrupted = 130;

// Splits "A,B,C" into its parts; an empty part makes the whole list invalid.
bool SplitList(const std::string& text, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (parts.back().empty()) return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Reads "A,B,..." with `read`; false, with `values` unchanged, when any part
// is not a value.
template <typename T, typename Read>
bool ParseList(const std::string& text, Read read, std::vector<T>& values) {
    std::vector<std::string> parts;
    if (!SplitList(text, parts)) return false;
    std::vector<T> parsed(parts.size());
    for (std::size_t k = 0; k < parts.size(); ++k)
        if (!read(parts[k], parsed[k])) return false;
    values = std::move(parsed);
    return true;
}

bool ReadCodec(std::string_view text, ReferenceCodecKind& kind) {
    const ReferenceCodecTraits* codec = ReferenceCodecNamed(text);
    if (codec != nullptr) kind = codec->kind;
    return codec != nullptr;
}

// Every setting of the grid as a list option "--name L", refused as a whole
// when any part is not a value.
void DeclareGridOptions(CLI::App& sweep, SweepGrid& grid) {
    ForEachGridDimension([&](const auto& dimension) {
        const std::string name = OptionName(dimension.name);
        auto& values = grid.*dimension.inGrid;
        const auto read = dimension.read;
        sweep
            .add_option_function<std::string>(
                name,
                [&values, read, name](const std::string& text) {
                    if (!ParseList(text, read, values)) throw CLI::ValidationError(name, "invalid value " + text);
                },
                std::string(dimension.help))
            ->type_name("L");
    });
}

int ReportRunFailure(const Status& failure, const SweepRunOutcome& outcome) {
    if (!failure) return ReportBadFile(failure.message());
    if (outcome.interrupted) {
        const bool one = outcome.finished == 1;
        std::fprintf(stderr, "pictora-cli: sweep interrupted; the %s finished %s kept and a new run resumes from %s\n",
                     CountText(outcome.finished, "job", "jobs").c_str(), one ? "is" : "are", one ? "it" : "them");
        return kExitInterrupted;
    }
    return kExitOk;
}

// Runs the jobs with Ctrl+C stopping them between two steps or rungs, and a
// progress bar on stderr when it is a terminal.
Status RunJobs(const SweepJobList& list, const std::vector<std::size_t>& pending, unsigned concurrency,
               bool showProgress, SweepRunOutcome& outcome) {
    InterruptWatch interrupt;
    const auto start = std::chrono::steady_clock::now();
    SweepRunWatch watch;
    watch.stopRequested = [&interrupt] { return interrupt.Interrupted(); };
    if (showProgress)
        watch.progress = [&](std::size_t finished) {
            const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr, "\r\033[K%s", FormatJobProgress(finished, pending.size(), elapsed).c_str());
            std::fflush(stderr);
        };
    const Status ran = RunSweepJobs(list, pending, concurrency, watch, outcome);
    if (showProgress && !pending.empty()) std::fputs("\n", stderr);
    return ran;
}

// Merges the parts and prints the set-level summary on stdout (nothing when
// the sweep has no codec to compare with).
int Collect(const SweepOptions& options, const SweepJobList& list) {
    std::vector<SetSummaryRow> summary;
    const CollectionOptions collection{options.report, std::string("pictora-cli ") + PICTORA_VERSION};
    if (Status collected = CollectSweep(list, collection, summary); !collected)
        return ReportBadFile(collected.message());
    if (!summary.empty()) std::fputs(FormatSummaryTable(summary).c_str(), stdout);
    std::fflush(stdout);
    return kExitOk;
}

int RunOneJob(const SweepJobList& list, std::size_t job) {
    if (PartIsComplete(list, job)) return kExitOk;
    if (Status settled = SettleSweepVersions(list); !settled) return ReportBadFile(settled.message());
    SweepRunOutcome outcome;
    return ReportRunFailure(RunJobs(list, {job}, 1, false, outcome), outcome);
}

int RunMissingJobsAndCollect(const SweepOptions& options, const SweepJobList& list) {
    const auto start = std::chrono::steady_clock::now();
    if (Status settled = SettleSweepVersions(list); !settled) return ReportBadFile(settled.message());
    const std::vector<std::size_t> pending = PendingJobs(list);
    const unsigned concurrency = options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    SweepRunOutcome outcome;
    Status ran = RunJobs(list, pending, concurrency, ::isatty(STDERR_FILENO) != 0, outcome);
    if (!ran || outcome.interrupted) return ReportRunFailure(ran, outcome);
    const int collected = Collect(options, list);
    if (collected != kExitOk) return collected;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "sweep: %s (%zu run now, %zu already done) in %s; results in %s\n",
                 CountText(list.jobs.size(), "job", "jobs").c_str(), pending.size(), list.jobs.size() - pending.size(),
                 FormatDuration(elapsed).c_str(), list.folder.c_str());
    return kExitOk;
}

// One self-contained shell command per job: this program with the sweep's
// images and settings and `--job K`, so any host that sees the same files can
// run line K+1 alone and write its part.
int PrintPlan(const SweepJobList& list) {
    std::error_code failure;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", failure).string();
    if (failure) return ReportBadFile("/proc/self/exe: " + failure.message());
    std::string head = ShellQuote(program) + " sweep";
    for (const std::string& argument : SweepArguments(list)) head += " " + ShellQuote(argument);
    for (std::size_t job = 0; job < list.jobs.size(); ++job) std::printf("%s --job %zu\n", head.c_str(), job);
    return kExitOk;
}

// DIR and DIR/parts for the jobs' parts; on a failure the run leaves
// neither behind if it made them and they are still empty.
class PartsFolders {
public:
    explicit PartsFolders(const SweepJobList& list) : folder_(list.folder), parts_(PartsFolder(list)) {
        std::error_code failure;
        made_ = !std::filesystem::exists(folder_, failure);
        madeParts_ = !std::filesystem::exists(parts_, failure);
    }

    Status Create() const {
        std::error_code failure;
        std::filesystem::create_directories(parts_, failure);
        if (failure)
            return Status::Error(ErrorKind::FileAccess, "cannot create the folder: " + failure.message()).About(parts_);
        return Status::Ok();
    }

    // Removes what this run made, when empty, after a failure.
    int Failed(int code) const {
        if (code != kExitBadFile) return code;
        std::error_code failure;  // a folder that holds something stays
        if (madeParts_) std::filesystem::remove(parts_, failure);
        if (made_) std::filesystem::remove(folder_, failure);
        return code;
    }

private:
    std::string folder_;
    std::string parts_;
    bool made_ = false;
    bool madeParts_ = false;
};

}  // namespace

CLI::App* DeclareSweepCommand(CLI::App& program, SweepOptions& options) {
    CLI::App* sweep = program.add_subcommand(
        "sweep", "Rate-distortion study: trains every image with every combination of the listed settings (each "
                 "value used for all three channels) for a few steps from a new run, encodes each image at every "
                 "rung of the reference codecs' ladders, and writes results.csv, bd-rate.csv, the set-level "
                 "summary.csv (also printed), the charts of each image, report.html and versions.txt into the output "
                 "folder.");
    SweepDefinition& definition = options.sweep;
    sweep->add_option("IMAGE", definition.images, "8-bit RGB PNG images")->required();
    DeclareGridOptions(*sweep, definition.grid);
    sweep
        ->add_option_function<std::string>(
            "--steps",
            [&definition](const std::string& text) {
                if (!ParseUnsigned(text, definition.steps) || definition.steps == 0)
                    throw CLI::ValidationError("--steps", "invalid value " + text);
            },
            "training steps of every combination, from a new run (5)")
        ->type_name("S");
    sweep
        ->add_option_function<std::string>(
            "--codecs",
            [&definition](const std::string& text) {
                if (text == "none") {
                    definition.codecs.clear();
                    return;
                }
                if (!ParseList(text, ReadCodec, definition.codecs))
                    throw CLI::ValidationError("--codecs", "invalid value " + text);
            },
            "reference codecs: jpeg, webp, avif, jxl, or none (jpeg,webp,avif,jxl)")
        ->type_name("L");
    sweep
        ->add_option_function<std::string>(
            "--jobs",
            [&options](const std::string& text) {
                std::uint32_t jobs = 0;
                if (!ParseUnsigned(text, jobs) || jobs == 0) throw CLI::ValidationError("--jobs", "invalid value " + text);
                options.jobs = jobs;
            },
            "jobs run at once (one per core)")
        ->type_name("N");
    DeclareMeasuresOption(*sweep, definition.measures, "point");
    sweep->add_option("-o", definition.outputFolder, "output folder (sweep)")->type_name("DIR");
    sweep
        ->add_option_function<std::string>(
            "--report",
            [&options](const std::string& text) {
                if (text != "on" && text != "off") throw CLI::ValidationError("--report " + text + ": choose on or off");
                options.report = text == "on";
            },
            "write report.html, one page of the study's tables and charts (on)")
        ->type_name("on|off");
    CLI::Option* plan =
        sweep->add_flag("--plan", options.plan, "print one shell command per job on stdout and run nothing");
    CLI::Option* collect =
        sweep->add_flag("--collect", options.collect, "merge the jobs' results in DIR, check that none is missing, "
                                                      "compute the BD-rates and their summary and draw the charts");
    plan->excludes(collect);
    // What a planned command runs; not for people.
    sweep
        ->add_option_function<std::string>(
            "--job",
            [&options](const std::string& text) {
                std::uint32_t job = 0;
                if (!ParseUnsigned(text, job)) throw CLI::ValidationError("--job", "invalid value " + text);
                options.job = job;
            })
        ->group("")
        ->excludes(plan)
        ->excludes(collect);
    return sweep;
}

int RunSweep(const CLI::App& command, const SweepOptions& options) {
    SweepJobList list;
    if (Status listed = ListSweepJobs(options.sweep, list); !listed) return ReportUsageError(command, listed.message());
    if (options.job && *options.job >= list.jobs.size())
        return ReportUsageError(command, "--job " + std::to_string(*options.job) + ": the sweep has " +
                                             CountText(list.jobs.size(), "job", "jobs"));
    if (options.collect) return Collect(options, list);
    // Every image is looked at before a job starts or is planned, so a
    // missing or unusable one is named at once and no folder is left behind.
    if (Status checked = CheckSweepImages(list); !checked) return ReportBadFile(checked.message());
    if (options.plan) return PrintPlan(list);
    const PartsFolders folders(list);
    if (Status created = folders.Create(); !created) return folders.Failed(ReportBadFile(created.message()));
    return folders.Failed(options.job ? RunOneJob(list, *options.job) : RunMissingJobsAndCollect(options, list));
}

}  // namespace pictora::cli
