// quiltara-cli: the core of Quiltara from the command line.
#include "CliCommand.h"

#include "core/base/Messages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quiltara::cli {

namespace {
std::vector<CliCommand>& Commands() {
    static std::vector<CliCommand> commands;
    return commands;
}
} // namespace

CliRegistration::CliRegistration(const CliCommand& command) {
    Commands().push_back(command);
}

const std::vector<CliCommand>& RegisteredCommands() {
    return Commands();
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "quiltara-cli: %s\n", text.c_str());
    return 1;
}

int UsageError(const CliCommand& command) {
    std::fprintf(stderr, "usage: quiltara-cli %s\n", command.usage);
    return 2;
}

bool g_allowPartial = false;

void ReportPartialFile(const std::string& path, const std::string& warning) {
    if (warning.empty()) return;
    std::fprintf(stderr, "quiltara-cli: %s: %s\n", path.c_str(), warning.c_str());
    if (!g_allowPartial) throw PartialFileStop{};
}

} // namespace quiltara::cli

using namespace quiltara::cli;

static void PrintHelp() {
    std::printf("Quiltara %s: seamless texture tools from the command line.\n\n", QUILTARA_VERSION);
    std::printf("usage: quiltara-cli COMMAND [ARGUMENTS] [--allow-partial]\n"
                "       quiltara-cli --help | --version\n\n"
                "An input file that ends early stops the command with exit status 3;\n"
                "--allow-partial uses what it holds (the missing rows black).\n\n");
    std::vector<CliCommand> sorted = RegisteredCommands();
    std::sort(sorted.begin(), sorted.end(), [](const CliCommand& a, const CliCommand& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    if (sorted.empty()) {
        std::printf("No commands yet.\n");
        return;
    }
    std::printf("commands:\n");
    for (const auto& c : sorted) {
        // Long usages get their summary on a line of its own.
        if (std::strlen(c.usage) <= 44)
            std::printf("  %-44s %s\n", c.usage, c.summary);
        else
            std::printf("  %s\n  %-44s %s\n", c.usage, "", c.summary);
    }
}

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        PrintHelp();
        return argc < 2 ? 2 : 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("quiltara-cli %s\n", QUILTARA_VERSION);
        return 0;
    }
    // Messages the core shows mid-operation go to stderr.
    quiltara::SetMessageHandler(
        [](const std::string& text) { std::fprintf(stderr, "quiltara-cli: %s\n", text.c_str()); });
    for (const auto& command : RegisteredCommands()) {
        if (std::strcmp(command.name, argv[1]) != 0) continue;
        std::vector<std::string> args;
        for (int i = 2; i < argc; ++i) {
            if (!std::strcmp(argv[i], "--allow-partial"))
                g_allowPartial = true;
            else
                args.emplace_back(argv[i]);
        }
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            std::printf("usage: quiltara-cli %s\n%s\n", command.usage, command.summary);
            return 0;
        }
        try {
            return command.run(args);
        } catch (const std::bad_alloc&) {
            return Fail("out of memory");
        } catch (const PartialFileStop&) {
            return kExitPartialFile; // the warning is already on stderr
        }
    }
    std::fprintf(stderr, "quiltara-cli: unknown command '%s' (see --help)\n", argv[1]);
    return 2;
}
