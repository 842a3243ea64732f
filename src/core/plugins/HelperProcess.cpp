#include "core/plugins/HelperProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#ifndef QUILTARA_PLUGIN_LIBDIR
#define QUILTARA_PLUGIN_LIBDIR "/usr/lib/quiltara"
#endif
#ifndef QUILTARA_PLUGIN_LIBDIR_FROM_BINDIR
#define QUILTARA_PLUGIN_LIBDIR_FROM_BINDIR "../lib/quiltara"
#endif

namespace fs = std::filesystem;

namespace quiltara {

CSharedPixels::~CSharedPixels() {
    Unmap();
    if (m_fd >= 0) close(m_fd);
}

void CSharedPixels::Unmap() {
    if (m_data) munmap(m_data, m_size);
    m_data = nullptr;
    m_size = 0;
}

bool CSharedPixels::Create(std::size_t size) {
    Unmap();
    if (m_fd >= 0) close(m_fd);
    m_fd = memfd_create("quiltara-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (m_fd < 0) return false;
    if (size == 0 || ftruncate(m_fd, off_t(size)) != 0) return false;
    // The helper may grow the file (an Extra's new picture) but never shrink it under
    // the program's mapping.
    fcntl(m_fd, F_ADD_SEALS, F_SEAL_SHRINK);
    return Remap();
}

bool CSharedPixels::Remap() {
    Unmap();
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0 || st.st_size <= 0) return false;
    void* p = mmap(nullptr, std::size_t(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (p == MAP_FAILED) return false;
    m_data = static_cast<std::uint8_t*>(p);
    m_size = std::size_t(st.st_size);
    return true;
}

std::vector<std::string> PluginSupportFolders() {
    std::vector<std::string> folders;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        folders.push_back(self.parent_path().string());
        folders.push_back(
            (self.parent_path() / QUILTARA_PLUGIN_LIBDIR_FROM_BINDIR).lexically_normal().string());
    }
    folders.push_back(QUILTARA_PLUGIN_LIBDIR);
    return folders;
}

std::string FindPluginRunner() {
    if (const char* env = std::getenv("QUILTARA_PLUGIN_RUNNER"); env && *env) return env;
    for (const std::string& folder : PluginSupportFolders()) {
        const fs::path runner = fs::path(folder) / "quiltara-plugin-runner";
        if (access(runner.c_str(), X_OK) == 0) return runner.string();
    }
    return {};
}

int PluginSilenceTimeoutMs(int fallbackMs) {
    if (const char* env = std::getenv("QUILTARA_PLUGIN_TIMEOUT_MS")) {
        const long v = std::strtol(env, nullptr, 10);
        if (v > 0 && v < 24L * 3600 * 1000) return int(v);
    }
    return fallbackMs;
}

std::vector<std::string> SplitHelperLine(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = line.find(kHelperFieldSeparator, start);
        fields.push_back(
            line.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return fields;
}

namespace {

// An fd above the ones the helper is given, so that the dup2 of the spawn always copies.
int HighFd(int fd) {
    const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return high;
}

} // namespace

HelperRun RunHelper(const std::string& runner, const std::vector<std::string>& args, int sharedFd,
                    const HelperOptions& options) {
    HelperRun run;
    if (runner.empty()) return run;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return run;
    const int readEnd = HighFd(fds[0]);
    const int writeEnd = HighFd(fds[1]);
    int shared = sharedFd >= 0 ? fcntl(sharedFd, F_DUPFD_CLOEXEC, 10) : -1;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, 3);
    if (shared >= 0) posix_spawn_file_actions_adddup2(&actions, shared, 4);
    std::vector<std::string> argv{runner};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, runner.c_str(), &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(writeEnd);
    if (shared >= 0) close(shared);
    if (spawned != 0) {
        close(readEnd);
        return run;
    }

    using Clock = std::chrono::steady_clock;
    auto lastSign = Clock::now();
    std::string pending;
    bool pipeOpen = true;
    bool exited = false;
    int status = 0;
    auto stop = [&](HelperEnd why) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        exited = true;
        run.end = why;
    };
    for (;;) {
        if (pipeOpen) {
            pollfd p{readEnd, POLLIN, 0};
            const int ready = poll(&p, 1, 20);
            if (ready > 0) {
                char chunk[4096];
                const ssize_t n = read(readEnd, chunk, sizeof chunk);
                if (n > 0) {
                    lastSign = Clock::now();
                    pending.append(chunk, std::size_t(n));
                    for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                        std::string line = pending.substr(0, nl);
                        pending.erase(0, nl + 1);
                        if (options.onLine) options.onLine(line);
                        // A helper that floods the pipe cannot make the program hoard lines.
                        if (run.lines.size() < 100000) run.lines.push_back(std::move(line));
                    }
                    if (pending.size() > (1u << 20)) pending.clear();
                } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                    pipeOpen = false;
                }
            }
        } else {
            usleep(20000);
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid && !pipeOpen) {
            exited = true;
            break;
        }
        if (done == pid) {
            // Gone, but its pipe may still hold its last lines: drain them first.
            exited = true;
            pollfd p{readEnd, POLLIN, 0};
            while (poll(&p, 1, 0) > 0) {
                char chunk[4096];
                const ssize_t n = read(readEnd, chunk, sizeof chunk);
                if (n <= 0) break;
                pending.append(chunk, std::size_t(n));
            }
            for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                std::string line = pending.substr(0, nl);
                pending.erase(0, nl + 1);
                if (options.onLine) options.onLine(line);
                run.lines.push_back(std::move(line));
            }
            break;
        }
        if (options.abortPoll && options.abortPoll()) {
            stop(HelperEnd::Cancelled);
            break;
        }
        const auto silence =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastSign);
        if (silence.count() > options.silenceTimeoutMs) {
            stop(HelperEnd::Hung);
            break;
        }
    }
    close(readEnd);
    if (run.end == HelperEnd::Cancelled || run.end == HelperEnd::Hung) return run;
    if (exited && WIFSIGNALED(status)) {
        run.end = HelperEnd::Crashed;
        run.signal = WTERMSIG(status);
    } else if (exited && WIFEXITED(status) && WEXITSTATUS(status) == 127 && run.lines.empty()) {
        run.end = HelperEnd::NotStarted; // the runner's exec failed
    } else {
        run.end = HelperEnd::Finished;
    }
    return run;
}

} // namespace quiltara
