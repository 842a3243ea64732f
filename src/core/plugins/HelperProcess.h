#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quiltara {

/// Pixels shared with the helper process: an anonymous memory file mapped by both.
class CSharedPixels {
public:
    CSharedPixels() = default;
    CSharedPixels(const CSharedPixels&) = delete;
    CSharedPixels& operator=(const CSharedPixels&) = delete;
    ~CSharedPixels();

    /// A zero-filled block of size bytes; false when it cannot be made.
    bool Create(std::size_t size);
    /// Maps the file again at its current size (the helper may have grown it).
    bool Remap();
    std::uint8_t* Data() { return m_data; }
    std::size_t Size() const { return m_size; }
    int Fd() const { return m_fd; }

private:
    void Unmap();
    int m_fd = -1;
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

/// How a helper run ended.
enum class HelperEnd {
    Finished,   // exited on its own; lines hold what it said
    Crashed,    // ended by a signal, or exited without a result
    Hung,       // said nothing for longer than allowed and was stopped
    Cancelled,  // the abort poll asked to stop and it was stopped
    NotStarted, // the helper program could not be started
};

struct HelperRun {
    HelperEnd end = HelperEnd::NotStarted;
    int signal = 0; // the signal that ended a crashed helper, 0 for none
    std::vector<std::string> lines;
};

struct HelperOptions {
    /// Longest silence of the helper, in milliseconds, before it counts as hung.
    int silenceTimeoutMs = 60000;
    /// Polled about every 20 ms while the helper runs; true stops it.
    std::function<bool()> abortPoll;
    /// Each line as it arrives (progress reports).
    std::function<void(const std::string& line)> onLine;
};

/// Where the host library and the helper program are looked for, in order: the running
/// executable's folder (the build tree), the installed program library folder as seen
/// from the executable's folder, and that folder where the build meant to install it.
std::vector<std::string> PluginSupportFolders();

/// The helper program "quiltara-plugin-runner": QUILTARA_PLUGIN_RUNNER when set, else the
/// first in PluginSupportFolders. Empty when none is found.
std::string FindPluginRunner();

/// The silence allowed to a helper: QUILTARA_PLUGIN_TIMEOUT_MS when set to a positive
/// number, else fallbackMs.
int PluginSilenceTimeoutMs(int fallbackMs);

/// Runs the helper with args. Its fd 3 is the pipe it reports on (one line per
/// message); sharedFd, when not negative, becomes its fd 4. The helper is killed when
/// it hangs or the abort poll says so; a crash of the helper ends only the helper.
HelperRun RunHelper(const std::string& runner, const std::vector<std::string>& args, int sharedFd,
                    const HelperOptions& options);

/// The separator of fields in the helper's lines; it never occurs in a field.
inline constexpr char kHelperFieldSeparator = '\x1f';
std::vector<std::string> SplitHelperLine(const std::string& line);

} // namespace quiltara
