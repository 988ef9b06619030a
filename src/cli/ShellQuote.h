#pragma once

#include <string>

namespace pictora::cli {

// `text` as one word of a POSIX shell command: as it is when it holds only
// characters no shell treats specially, otherwise in single quotes (each
// quote inside written '\'').
std::string ShellQuote(const std::string& text);

}  // namespace pictora::cli
