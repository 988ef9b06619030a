#pragma once

#include <string>
#include <vector>

namespace pictora::cli {

// Exit codes of pictora-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadFile = 1;
inline constexpr int kExitUsage = 2;

// Each command takes the arguments that follow its name and returns the exit code.
int RunTrain(const std::vector<std::string>& arguments);
int RunDecode(const std::vector<std::string>& arguments);
int RunApply(const std::vector<std::string>& arguments);
int RunInfo(const std::vector<std::string>& arguments);

// The --help text.
const char* UsageText();
// One line "pictora-cli: MESSAGE" on stderr; returns kExitBadFile.
int ReportBadFile(const std::string& message);
// The line and the --help text on stderr; returns kExitUsage.
int ReportUsageError(const std::string& message);

}  // namespace pictora::cli
