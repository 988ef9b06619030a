#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace pictora::cli {

// Exit codes of pictora-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadFile = 1;
inline constexpr int kExitUsage = 2;

// Parses the arguments that follow the program's name (a command and its
// options), runs the command and returns the exit code. --help, with or
// without a command, prints the help of what it follows.
int RunCommandLine(const std::vector<std::string>& arguments);

// One line "pictora-cli: MESSAGE" on stderr; returns kExitBadFile.
int ReportBadFile(const std::string& message);
// The line and a hint to the command's --help on stderr; returns kExitUsage.
int ReportUsageError(const CLI::App& command, const std::string& message);

}  // namespace pictora::cli
