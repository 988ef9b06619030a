#include "study/SweepVersions.h"

#include <filesystem>
#include <system_error>

#include "measures/Butteraugli.h"
#include "reference/LibraryVersion.h"
#include "support/FileIO.h"

namespace pictora {

std::string SweepVersionsText(const SweepJobList& list) {
    std::string text;
    for (ReferenceCodecKind codec : list.codecs)
        text += std::string(TraitsOf(codec).name) + ": " + LibraryVersion(codec) + "\n";
    if (list.measures == MeasureSet::AllAndButteraugli) text += "butteraugli: libjxl " + ButteraugliLibraryVersion() + "\n";
    return text;
}

Status SettleSweepVersions(const SweepJobList& list) {
    const std::string path = list.folder + "/versions.txt";
    const std::string ours = SweepVersionsText(list);
    std::error_code failure;
    if (!std::filesystem::exists(path, failure)) return WriteFileAtomically(path, ours);
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    const std::string theirs(bytes.begin(), bytes.end());
    if (theirs == ours) return Status::Ok();
    return Status::Error(ErrorKind::InvalidSetting,
                         path + ": the parts there were made with other library versions than this program's; "
                                "collect them with the program that made them, or sweep into a new folder.\n"
                                "  there:\n" + theirs + "  here:\n" + ours);
}

}  // namespace pictora
