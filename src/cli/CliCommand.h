#pragma once
#include <string>
#include <vector>

namespace quiltara::cli {

/// One command of quiltara-cli. Each cmd_*.cpp defines a static CliRegistration;
/// main() finds the command by name and runs it with the remaining arguments.
struct CliCommand {
    const char* name;
    const char* usage;   // e.g. "info IN"
    const char* summary; // one line for --help
    int (*run)(const std::vector<std::string>& args);
};

class CliRegistration {
public:
    explicit CliRegistration(const CliCommand& command);
};

const std::vector<CliCommand>& RegisteredCommands();

/// Prints "quiltara-cli: <text>" to stderr and returns exit code 1.
int Fail(const std::string& text);
/// Prints the command's usage to stderr and returns exit code 2.
int UsageError(const CliCommand& command);

/// The exit code when an input file ends early and --allow-partial was not given.
constexpr int kExitPartialFile = 3;
/// Set by main() when the command line holds --allow-partial (any command).
extern bool g_allowPartial;
/// An input file ended early: "quiltara-cli: <path>: <warning>" goes to stderr; without
/// --allow-partial the command stops (main() exits with kExitPartialFile), with it the
/// picture is used as it was read.
void ReportPartialFile(const std::string& path, const std::string& warning);
/// Thrown by ReportPartialFile to stop the command.
struct PartialFileStop {};

} // namespace quiltara::cli
