#include "core/plugins/PluginSearch.h"

#include "core/plugins/PluginFolders.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quiltara {

void CPluginSearch::SearchFolder(const std::string& rawFolder) {
    std::string folder = rawFolder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (m_window && m_window->ShowPattern(SearchPatternLine(folder + "*.*"))) m_cancelled = true;
    if (m_cancelled) return;

    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name == "." || name == "..") continue;
        std::error_code typeError;
        const fs::file_status link = it->symlink_status(typeError);
        if (typeError) continue;
        if (fs::is_directory(link)) {
            // The kernel's and the devices' pseudo file systems hold no plug-ins, and
            // walking them is slow or endless.
            const std::string sub = folder + name + "/";
            if (sub == "/proc/" || sub == "/sys/" || sub == "/dev/" || sub == "/run/") continue;
            SearchFolder(folder + name);
            if (m_cancelled) return;
        } else if (IsPluginFileName(name)) {
            if (m_scan(folder + name) && m_window) m_window->ShowFound(m_foundLine());
        }
    }
}

} // namespace quiltara
