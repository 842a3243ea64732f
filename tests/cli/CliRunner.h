#pragma once
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace quiltara::test {

struct CliResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

/// Runs quiltara-cli with arguments (as a shell would split them).
inline CliResult RunCli(const std::string& arguments) {
    const std::string command = std::string(QUILTARA_CLI) + " " + arguments + " 2>&1";
    CliResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        r.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace quiltara::test
