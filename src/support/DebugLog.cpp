#include "support/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/NumberText.h"

namespace pictora {
namespace {

// Numbers in the trace read the same in every locale.
std::size_t FormatInto(char* out, const char* format, std::va_list args) {
    const CLocaleScope cLocale;
    int written = std::vsnprintf(out, kDebugLogLimit + 1, format, args);
    if (written < 0) {
        out[0] = '\0';
        return 0;
    }
    return std::strlen(out);
}

}  // namespace

bool DebugLogEnabled() {
    static const bool enabled = std::getenv("PICTORA_DEBUG") != nullptr;
    return enabled;
}

std::size_t FormatDebugMessage(char* out, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::size_t length = FormatInto(out, format, args);
    va_end(args);
    return length;
}

void DebugLog(const char* format, ...) {
    if (!DebugLogEnabled()) return;
    char buffer[kDebugLogLimit + 1];
    std::va_list args;
    va_start(args, format);
    std::size_t length = FormatInto(buffer, format, args);
    va_end(args);
    // One write per message, so lines of the two threads do not interleave.
    std::fwrite(buffer, 1, length, stderr);
}

}  // namespace pictora
