#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/Status.h"

namespace pictora {

// Reads a whole file into `bytes`. Fails with a message naming the file when it
// cannot be opened or read, or is larger than `maxBytes`.
Status ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                     std::uint64_t maxBytes = UINT64_C(1) << 32);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`,
// so a failed write (disk full, folder missing) never leaves a truncated file
// where a good one stood.
Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
// The same for a text.
Status WriteFileAtomically(const std::string& path, std::string_view text);

// Whether `path` can be written the way WriteFileAtomically writes it: the
// temporary file beside it is created and removed again, and no folder stands
// at `path`. Commands check their outputs so before long work, so that a
// missing or read-only folder is told before the work rather than after it;
// a file already at `path` is not touched.
Status CheckWritable(const std::string& path);

// Whether two paths name the same file: the same device and inode when both
// exist, otherwise the same canonical path (a file yet to be written).
bool SameFile(const std::string& first, const std::string& second);

// Size of a file in bytes, or -1 when it cannot be examined.
std::int64_t FileSize(const std::string& path);

}  // namespace pictora
