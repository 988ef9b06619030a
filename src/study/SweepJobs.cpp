#include "study/SweepJobs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "image/PngImage.h"

#include "study/SweepRow.h"

namespace pictora {

namespace {

std::string Folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Stem(const std::string& name) { return std::filesystem::path(name).stem().string(); }

// Why a new image's name cannot join the names before it, or nothing.
std::string NameClash(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& known : names) {
        if (known == name) return "two images are named " + name;
        if (Folded(known) == Folded(name)) return "image names " + known + " and " + name + " differ only in case";
        if (Folded(Stem(known)) == Folded(Stem(name)))
            return "images " + known + " and " + name + " would share the chart folder DIR/" + Stem(known);
    }
    return {};
}

}  // namespace

Status ListSweepJobs(const SweepDefinition& sweep, SweepJobList& list) {
    SweepJobList listed;
    for (const std::string& image : sweep.images) {
        const std::filesystem::path path = std::filesystem::absolute(image).lexically_normal();
        const std::string name = path.filename().string();
        if (name.find_first_of(",\"\r\n") != std::string::npos)
            return Status::Error(ErrorKind::InvalidSetting,
                                 "image file name " + name + " holds a comma, a quote or a line break");
        if (const std::string clash = NameClash(listed.imageNames, name); !clash.empty())
            return Status::Error(ErrorKind::InvalidSetting, clash);
        listed.imagePaths.push_back(path.string());
        listed.imageNames.push_back(name);
    }
    listed.grid = sweep.grid;
    listed.steps = sweep.steps;
    listed.codecs = sweep.codecs;
    listed.measures = sweep.measures;
    listed.folder = std::filesystem::absolute(sweep.outputFolder).lexically_normal().string();
    const std::vector<SweepCell> cells = sweep.grid.Cells();
    for (std::size_t image = 0; image < listed.imagePaths.size(); ++image) {
        for (const SweepCell& cell : cells) listed.jobs.push_back({SweepJobKind::Training, image, cell, {}});
        for (ReferenceCodecKind codec : sweep.codecs) listed.jobs.push_back({SweepJobKind::Ladder, image, {}, codec});
    }
    list = std::move(listed);
    return Status::Ok();
}

Status CheckSweepImages(const SweepJobList& list) {
    for (const std::string& path : list.imagePaths) {
        if (Status checked = CheckPngFile(path); !checked) return checked;
    }
    return Status::Ok();
}

std::string JobDescription(const SweepJobList& list, std::size_t job) {
    const SweepJob& described = list.jobs[job];
    std::string text = "image=" + list.imagePaths[described.image];
    // What the points were measured by, unless the default set: the jobs of
    // a default sweep keep the descriptions they always had.
    if (list.measures != MeasureSet::All) text += " measures=" + std::string(NameOf(list.measures));
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
    arguments.insert(arguments.end(),
                     {"--steps", std::to_string(list.steps), "--codecs", codecs.empty() ? std::string("none") : codecs});
    if (list.measures != MeasureSet::All) arguments.insert(arguments.end(), {"--measures", std::string(NameOf(list.measures))});
    arguments.insert(arguments.end(), {"-o", list.folder});
    return arguments;
}

std::vector<QualityMeasure> BdRateMeasures(const SweepJobList& list) {
    std::vector<QualityMeasure> measures(std::begin(kRdMeasures), std::end(kRdMeasures));
    if (list.measures == MeasureSet::AllAndButteraugli) measures.push_back(QualityMeasure::Butteraugli);
    return measures;
}

}  // namespace pictora
