#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <new>

#include <unistd.h>

#include "cli/Commands.h"
#include "cli/CompareCommand.h"
#include "cli/FileCommands.h"
#include "cli/SweepCommand.h"
#include "cli/TrainCommand.h"

namespace pictora::cli {

int ReportBadFile(const std::string& message) {
    std::fprintf(stderr, "pictora-cli: %s\n", message.c_str());
    return kExitBadFile;
}

int ReportUsageError(const CLI::App& command, const std::string& message) {
    const std::string name = command.get_parent() != nullptr ? " " + command.get_name() : "";
    std::fprintf(stderr, "pictora-cli%s: %s\nRun 'pictora-cli%s --help' for more information.\n", name.c_str(),
                 message.c_str(), name.c_str());
    return kExitUsage;
}

namespace {

// "train, decode, apply, info, compare, sweep": the commands, in the order of the help.
std::string CommandNames(const CLI::App& program) {
    std::string names;
    for (const CLI::App* command : program.get_subcommands([](const CLI::App*) { return true; }))
        names += (names.empty() ? "" : ", ") + command->get_name();
    return names;
}

// A first argument that is neither an option nor a command: CLI11 would only
// say that a command is required, without naming what it was given.
bool NamesNoCommand(const CLI::App& program, const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().starts_with('-')) return false;
    const auto commands = program.get_subcommands([](const CLI::App*) { return true; });
    return std::none_of(commands.begin(), commands.end(),
                        [&](const CLI::App* command) { return command->check_name(arguments.front()); });
}

// Memory ran out somewhere in a command (a hostile image size, say): one
// line that says what was being done, instead of an abort. A progress line
// in the way is cleared first.
int ReportOutOfMemory(const std::string& doing) {
    if (::isatty(STDERR_FILENO) != 0) std::fputs("\r\033[K", stderr);
    return ReportBadFile("not enough memory " + doing);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments) {
    CLI::App program("pictora-cli: lossy image compression by vector quantization with a growing neural codebook, "
                     "one codebook per colour channel.",
                     "pictora-cli");
    program.set_version_flag("--version", std::string("pictora-cli ") + PICTORA_VERSION);
    program.require_subcommand(1);
    program.footer(
        "Exit status: 0 success, 1 unreadable, damaged or unsupported file, or not enough memory, 2 usage error.");

    TrainOptions train;
    DecodeOptions decode;
    ApplyOptions apply;
    InfoOptions info;
    CompareOptions compare;
    SweepOptions sweep;
    CLI::App* trainCommand = DeclareTrainCommand(program, train);
    CLI::App* decodeCommand = DeclareDecodeCommand(program, decode);
    CLI::App* applyCommand = DeclareApplyCommand(program, apply);
    CLI::App* infoCommand = DeclareInfoCommand(program, info);
    CLI::App* compareCommand = DeclareCompareCommand(program, compare);
    CLI::App* sweepCommand = DeclareSweepCommand(program, sweep);

    if (arguments.empty())
        return ReportUsageError(program, "no command given; the commands are " + CommandNames(program));
    if (NamesNoCommand(program, arguments))
        return ReportUsageError(program, "unknown command '" + arguments.front() + "'; the commands are " +
                                             CommandNames(program));

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        program.parse(reversed);
    } catch (const CLI::ParseError& failure) {
        if (failure.get_exit_code() == 0) return program.exit(failure);  // --help, --version
        const auto chosen = program.get_subcommands();
        return ReportUsageError(chosen.empty() ? program : *chosen.front(), failure.what());
    }
    try {
        if (trainCommand->parsed()) return RunTrain(*trainCommand, train);
        if (decodeCommand->parsed()) return RunDecode(*decodeCommand, decode);
        if (applyCommand->parsed()) return RunApply(*applyCommand, apply);
        if (infoCommand->parsed()) return RunInfo(*infoCommand, info);
        if (compareCommand->parsed()) return RunCompare(*compareCommand, compare);
        if (sweepCommand->parsed()) return RunSweep(*sweepCommand, sweep);
    } catch (const std::bad_alloc&) {
        if (trainCommand->parsed()) return ReportOutOfMemory("to train on " + train.imagePath);
        if (decodeCommand->parsed()) return ReportOutOfMemory("to decode " + decode.codedPath);
        if (applyCommand->parsed()) return ReportOutOfMemory("to apply codebooks to " + apply.imagePath);
        if (infoCommand->parsed()) return ReportOutOfMemory("to read " + info.path);
        if (compareCommand->parsed())
            return ReportOutOfMemory("to compare " + compare.imagePath + " with the reference codecs");
        return ReportOutOfMemory("for the sweep");
    }
    return ReportUsageError(program, "no command given");
}

}  // namespace pictora::cli
