#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace pictora {

Status TemporaryFilePath(const std::string& name, std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        folder = fs::path(runtime) / "pictora";
    } else {
        folder = fs::temp_directory_path(error) / ("pictora-" + std::to_string(::getuid()));
        if (error) folder = fs::path("/tmp") / ("pictora-" + std::to_string(::getuid()));
    }
    fs::create_directories(folder, error);
    // A folder someone else made (or a link planted there) must not receive our files.
    struct stat info {};
    if (error || ::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return Status::Error(ErrorKind::FileAccess, "cannot use the temporary folder " + folder.string());
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    path = (folder / name).string();
    return Status::Ok();
}

}  // namespace pictora
