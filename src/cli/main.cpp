// pictora-cli: the coding engine for scripts and batches.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    using namespace pictora::cli;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::fputs(UsageText(), stderr);
        return kExitUsage;
    }
    const std::string command = arguments.front();
    arguments.erase(arguments.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(UsageText(), stdout);
            return kExitOk;
        }
    }
    if (command == "train") return RunTrain(arguments);
    if (command == "decode") return RunDecode(arguments);
    if (command == "apply") return RunApply(arguments);
    if (command == "info") return RunInfo(arguments);
    return ReportUsageError("unknown command " + command);
}
