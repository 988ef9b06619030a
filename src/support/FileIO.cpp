#include "support/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace pictora {
namespace {

std::string Reason() { return std::strerror(errno); }

std::string TemporaryBeside(const std::string& path) { return path + ".tmp-" + std::to_string(::getpid()); }

}  // namespace

Status ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::uint64_t maxBytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return Status::Error(ErrorKind::FileAccess, "cannot open " + path + ": " + Reason()).Concerning(path);
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (data.size() + got > maxBytes) {
            std::fclose(file);
            return Status::Error(ErrorKind::FileAccess, path + " is too large").Concerning(path);
        }
        data.insert(data.end(), chunk, chunk + got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return Status::Error(ErrorKind::FileAccess, "cannot read " + path).Concerning(path);
    bytes = std::move(data);
    return Status::Ok();
}

Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string temporary = TemporaryBeside(path);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return Status::Error(ErrorKind::FileAccess, "cannot create " + path + ": " + Reason()).Concerning(path);
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (std::fflush(file) == 0) && ok;
    std::string reason = ok ? "" : Reason();
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        std::remove(temporary.c_str());
        return Status::Error(ErrorKind::FileAccess, "cannot write " + path + (reason.empty() ? "" : ": " + reason))
            .Concerning(path);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        reason = Reason();
        std::remove(temporary.c_str());
        return Status::Error(ErrorKind::FileAccess, "cannot write " + path + ": " + reason).Concerning(path);
    }
    return Status::Ok();
}

Status CheckWritable(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return Status::Error(ErrorKind::FileAccess, "cannot write " + path + ": it is a folder").Concerning(path);
    const std::string temporary = TemporaryBeside(path);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return Status::Error(ErrorKind::FileAccess, "cannot create " + path + ": " + Reason()).Concerning(path);
    std::fclose(file);
    std::remove(temporary.c_str());
    return Status::Ok();
}

bool SameFile(const std::string& first, const std::string& second) {
    struct stat a {}, b {};
    if (::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    std::error_code error;
    const auto canonicalFirst = std::filesystem::weakly_canonical(std::filesystem::absolute(first, error), error);
    if (error) return false;
    const auto canonicalSecond = std::filesystem::weakly_canonical(std::filesystem::absolute(second, error), error);
    return !error && canonicalFirst == canonicalSecond;
}

Status WriteFileAtomically(const std::string& path, std::string_view text) {
    return WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::int64_t FileSize(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

}  // namespace pictora
