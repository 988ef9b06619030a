#include "study/SweepJobs.h"

#include <filesystem>
#include <set>

#include "study/SweepRow.h"

namespace pictora {

Status ListSweepJobs(const SweepDefinition& sweep, SweepJobList& list) {
    SweepJobList listed;
    std::set<std::string> seen;
    for (const std::string& image : sweep.images) {
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
    listed.grid = sweep.grid;
    listed.steps = sweep.steps;
    listed.codecs = sweep.codecs;
    listed.folder = std::filesystem::absolute(sweep.outputFolder).lexically_normal().string();
    const std::vector<SweepCell> cells = sweep.grid.Cells();
    for (std::size_t image = 0; image < listed.imagePaths.size(); ++image) {
        for (const SweepCell& cell : cells) listed.jobs.push_back({SweepJobKind::Training, image, cell, {}});
        for (ReferenceCodecKind codec : sweep.codecs) listed.jobs.push_back({SweepJobKind::Ladder, image, {}, codec});
    }
    list = std::move(listed);
    return Status::Ok();
}

std::string JobDescription(const SweepJobList& list, std::size_t job) {
    const SweepJob& described = list.jobs[job];
    std::string text = "image=" + list.imagePaths[described.image];
    if (described.kind == SweepJobKind::Ladder) return text + " codec=" + std::string(TraitsOf(described.codec).name);
    text += " codec=" + std::string(kPictoraCodecName);
    ForEachGridDimension([&](const auto& dimension) {
        text += " " + std::string(dimension.name) + "=" +
                ValueText(described.cell.*dimension.inCell, ValueStyle::Shortest);
    });
    return text + " steps=" + std::to_string(list.steps);
}

std::string PartsFolder(const SweepJobList& list) { return list.folder + "/parts"; }

std::string PartPath(const SweepJobList& list, std::size_t job) {
    return PartsFolder(list) + "/job-" + std::to_string(job) + ".part";
}

std::vector<std::string> SweepArguments(const SweepJobList& list) {
    std::vector<std::string> arguments = list.imagePaths;
    ForEachGridDimension([&](const auto& dimension) {
        std::string values;
        for (const auto& value : list.grid.*dimension.inGrid)
            values += (values.empty() ? "" : ",") + ValueText(value, ValueStyle::Shortest);
        arguments.push_back(OptionName(dimension.name));
        arguments.push_back(values);
    });
    std::string codecs;
    for (ReferenceCodecKind codec : list.codecs) codecs += (codecs.empty() ? "" : ",") + std::string(TraitsOf(codec).name);
    arguments.insert(arguments.end(), {"--steps", std::to_string(list.steps), "--codecs",
                                       codecs.empty() ? std::string("none") : codecs, "-o", list.folder});
    return arguments;
}

}  // namespace pictora
