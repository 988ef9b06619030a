#pragma once

#include <cstdint>
#include <span>
#include <string>

#include <unistd.h>

#include "support/FileIO.h"

namespace pictora::fuzz {

// A file of this fuzzing process for the readers that take paths, in the
// shared-memory folder when there is one so that writing it stays cheap.
inline std::string ScratchPath(const std::string& name) {
    const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return folder + "/pictora-fuzz-" + std::to_string(getpid()) + "-" + name;
}

inline std::string WriteScratch(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = ScratchPath(name);
    if (!WriteFileAtomically(path, bytes)) __builtin_trap();
    return path;
}

}  // namespace pictora::fuzz
