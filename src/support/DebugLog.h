#pragma once

#include <cstddef>

namespace pictora {

// Longest diagnostic written by one call; longer messages are cut to it.
inline constexpr std::size_t kDebugLogLimit = 100;

// The diagnostic trace. Formats printf-style into a buffer of the call's own
// (so the two threads never share one) and writes at most kDebugLogLimit
// characters to stderr, only when the environment variable PICTORA_DEBUG is set.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Formats as DebugLog does into `out` (room for kDebugLogLimit + 1 characters)
// and returns the number of characters DebugLog would write.
std::size_t FormatDebugMessage(char* out, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// True when PICTORA_DEBUG is set (read once, at the first call).
bool DebugLogEnabled();

}  // namespace pictora
