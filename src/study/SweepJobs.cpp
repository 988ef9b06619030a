#include "study/SweepJobs.h"

#include <filesystem>
#include <set>

#include "support/NumberText.h"

namespace pictora::cli {

Status ListSweepJobs(const SweepOptions& options, SweepJobList& list) {
    SweepJobList listed;
    std::set<std::string> seen;
    for (const std::string& image : options.images) {
        const std::filesystem::path path = std::filesystem::absolute(image).lexically_normal();
        const std::string name = path.filename().string();
        if (name.find_first_of(",\"\r\n") != std::string::npos)
            return Status::Error(ErrorKind::InvalidSetting,
                                 "image file name " + name + " holds a comma, a quote or a line break");
        if (!seen.insert(name).second)
            return Status::Error(ErrorKind::InvalidSetting, "two images are named " + name);
        listed.imagePaths.push_back(path.string());
        listed.imageNames.push_back(name);
    }
    listed.steps = options.steps;
    listed.codecs = options.codecs;
    listed.folder = std::filesystem::absolute(options.outputFolder).lexically_normal().string();
    const std::vector<SweepCell> cells = options.grid.Cells();
    for (std::size_t image = 0; image < listed.imagePaths.size(); ++image) {
        for (const SweepCell& cell : cells) listed.jobs.push_back({SweepJobKind::Training, image, cell, {}});
        for (ReferenceCodecKind codec : options.codecs) listed.jobs.push_back({SweepJobKind::Ladder, image, {}, codec});
    }
    list = std::move(listed);
    return Status::Ok();
}

std::string JobDescription(const SweepJobList& list, std::size_t job) {
    const SweepJob& described = list.jobs[job];
    std::string text = "image=" + list.imagePaths[described.image];
    if (described.kind == SweepJobKind::Ladder) return text + " codec=" + std::string(TraitsOf(described.codec).name);
    const SweepCell& cell = described.cell;
    return text + " codec=pictora color_space=" + std::string(ColorSpaceName(cell.colorSpace)) +
           " block=" + std::to_string(cell.blockSide) + " radius=" + ShortestText(cell.radius) +
           " alfa=" + ShortestText(cell.alfa) + " filter=" + std::string(FilterName(cell.filter)) +
           " steps=" + std::to_string(list.steps);
}

std::string PartsFolder(const SweepJobList& list) { return list.folder + "/parts"; }

std::string PartPath(const SweepJobList& list, std::size_t job) {
    return PartsFolder(list) + "/job-" + std::to_string(job) + ".part";
}

}  // namespace pictora::cli
