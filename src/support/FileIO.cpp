#include "support/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace pictora {
namespace {

std::string Reason() { return std::strerror(errno); }

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
    std::string temporary = path + ".tmp-" + std::to_string(::getpid());
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

Status WriteFileAtomically(const std::string& path, std::string_view text) {
    return WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::int64_t FileSize(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

}  // namespace pictora
